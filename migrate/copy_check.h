// Whether a copied tree is complete before its original may be emptied.
#pragma once

namespace korvalin {

// True when every file below `source` (at any depth) is at the same relative
// place below `destination`, opens for reading there and has the same size.
// A source that cannot be listed, a file that cannot be read on either side
// or a tree deeper than the check follows all count as not copied.
bool TreeCopiedTo(const char* source, const char* destination);

}  // namespace korvalin
