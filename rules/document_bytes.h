// The rules document's bytes as UTF-16 for the script engine. Wide texts are
// byte sets of UTF-16LE code units.
#pragma once

#include <initializer_list>

namespace korvalin {

// Detects the encoding: UTF-8 with a mark, UTF-16LE with a mark, UTF-16LE
// without one (zero second byte), else UTF-8 when the bytes are valid UTF-8
// and code page 936 when they are not. Converted results end in one zero
// unit; UTF-16 input is taken as it is. Empty (null) for two bytes or fewer
// and for a marked UTF-8 document with nothing after the mark. The caller
// frees the result.
void* DecodeDocumentBytes(const void* byteSet);

// Concatenates up to ten wide texts, stopping at the first null one. One
// trailing zero unit is dropped from each piece and one is added at the end.
// The caller frees the result.
void* JoinWideTexts(std::initializer_list<const void*> pieces);

}  // namespace korvalin
