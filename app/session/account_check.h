// Whose folders a run would move. HKEY_CURRENT_USER is the account the
// process runs as: started by a standard user and elevated with an
// administrator's credentials, or run as SYSTEM by a deployment agent, that
// is not the user at the desktop, whose folders were meant.
#pragma once

#include <string>

namespace korvalin {

struct AccountCheck {
  bool other = false;       // this account is not the desktop's user
  std::string thisAccount;  // DOMAIN\name, for the message
  std::string desktopUser;  // empty where no desktop's user is known
};

// Compares this process's user with the user of the shell's process. A
// system account (SYSTEM, the local and network services) counts as another
// account even where no shell runs; where no shell runs otherwise, nothing
// can be told and the run goes on.
AccountCheck CheckAccount();

// The text that says so, for the window's warning and the command line.
std::string OtherAccountText(const AccountCheck& check);

}  // namespace korvalin
