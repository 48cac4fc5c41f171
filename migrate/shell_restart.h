// Restarting Explorer so that it reads the shell folders anew.
#pragma once

namespace korvalin {

// Ends every explorer.exe, waits 600 ms and starts explorer.exe again in the
// Windows directory.
void RestartShell();

}  // namespace korvalin
