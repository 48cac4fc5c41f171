// The trees the copy benchmark copies: <root>\small, 5,000 files of 4 KiB in
// 50 folders, and <root>\large, five files of 200 MB.
#pragma once

#include <string>

namespace korvalin::bench {

bool MakeCopyTrees(const std::string& root);

}  // namespace korvalin::bench
