#include "platform/app_paths.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/directory_listing.h"

namespace tesselor {

AppPaths& Paths() {
  static AppPaths paths;
  return paths;
}

void InitProgramDirectory() {
  if (const char* home = std::getenv("TESSELOR_HOME"); home && *home) {
    Paths().programDirectory = WithTrailingSlash(home);
    return;
  }
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) {
    Paths().programDirectory = CurrentDirectory();
    return;
  }
  std::string exe(buffer, static_cast<size_t>(length));
  Paths().programDirectory = exe.substr(0, exe.find_last_of('/') + 1);
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  if (!getcwd(buffer, sizeof buffer)) return "";
  return WithTrailingSlash(buffer);
}

bool ChangeDirectory(const std::string& folder) {
  return !folder.empty() && chdir(folder.c_str()) == 0;
}

}  // namespace tesselor
