#include "runtime/commands/commands.h"
#include "runtime/commands/library.h"

namespace rt::library {

const LibraryCommandInfo kCommands[] = {
    {"BitAnd", commands::BitAnd},
    {"BitOr", commands::BitOr},
    {"ShiftLeft", commands::ShiftLeft},
    {"ShiftRight", commands::ShiftRight},
    {"MakeInt", commands::MakeInt},
    {"TextLength", commands::TextLength},
    {"LeftText", commands::LeftText},
    {"RightText", commands::RightText},
    {"CharFromCode", commands::CharFromCode},
    {"CharCode", commands::CharCode},
    {"FindText", commands::FindText},
    {"FindTextReverse", commands::FindTextReverse},
    {"SpaceText", commands::SpaceText},
    {"ToText", commands::ToText},
    {"ToInt", commands::ToInt},
    {"ToByte", commands::ToByte},
    {"ToByteSet", commands::ToByteSet},
    {"ByteSetLength", commands::ByteSetLength},
    {"ZeroByteSet", commands::ZeroByteSet},
    {"ByteSetData", commands::ByteSetData},
    {"PointerToByteSet", commands::PointerToByteSet},
    {"WriteMemory", commands::WriteMemory},
    {"GetRunDirectory", commands::GetRunDirectory},
    {"GetCommandLineArgs", commands::GetCommandLineArgs},
    {"ReadFileBytes", commands::ReadFileBytes},
    {"WriteFileBytes", commands::WriteFileBytes},
    {"MakeDirectory", commands::MakeDirectory},
    {"DeleteDirectoryTree", commands::DeleteDirectoryTree},
    {"RunCommandLine", commands::RunCommandLine},
    {"Delay", commands::Delay},
    {"GetWindowHandle", commands::GetWindowHandle},
    {"ClientWidth", commands::ClientWidth},
    {"ClientHeight", commands::ClientHeight},
    {"MoveUnit", commands::MoveUnit},
};
const int32_t kCommandCount = static_cast<int32_t>(sizeof kCommands / sizeof kCommands[0]);

}  // namespace rt::library
