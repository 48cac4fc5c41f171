// What stands at the user folders of the prefix a test runs in.
#pragma once

#include <string>
#include <vector>

namespace korvalin::test {

// Every entry of every C:\users\<name> that is a link leading outside drive
// C: (to the Linux user's home, say), as "entry -> final path".
std::vector<std::string> UserFolderLinksLeadingOutside();

}  // namespace korvalin::test
