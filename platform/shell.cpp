#include "platform/shell.h"

#include "platform/console_shell.h"

namespace tesselor {

namespace {
Shell* installedShell = nullptr;
}

Shell& Shell::Instance() {
  // Until a front end installs its own, messages go to the terminal.
  static ConsoleShell fallback;
  return installedShell ? *installedShell : fallback;
}

void Shell::Install(Shell* shell) { installedShell = shell; }

}  // namespace tesselor
