// The prefix these cases run in: a user folder that led to the host's home
// would put the host's own files in reach of a move.
#include <gtest/gtest.h>

#include "tests/support/user_folders.h"

namespace korvalin::test {
namespace {

TEST(TestPrefix, NoUserFolderLeadsOutsideThePrefix) {
  for (const std::string& link : UserFolderLinksLeadingOutside()) ADD_FAILURE() << link;
}

}  // namespace
}  // namespace korvalin::test
