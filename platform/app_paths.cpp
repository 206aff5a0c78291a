#include "platform/app_paths.h"

#include <limits.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/directory_listing.h"

namespace tesselor {

namespace {

// The folder without links or "..", ending in '/'; as given when it is not
// there.
std::string Resolved(const std::string& folder) {
  char resolved[PATH_MAX];
  return WithTrailingSlash(realpath(folder.c_str(), resolved) ? resolved : folder);
}

std::string ExecutableFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return CurrentDirectory();
  const std::string exe(buffer, static_cast<size_t>(length));
  return exe.substr(0, exe.find_last_of('/') + 1);
}

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) return user->pw_dir;
  return "/";
}

}  // namespace

AppPaths& Paths() {
  static AppPaths paths;
  return paths;
}

std::vector<std::string> AppPaths::LibraryRoots() const {
  if (userLibraryDirectory.empty()) return {programDirectory};
  return {userLibraryDirectory, programDirectory};
}

const std::string& AppPaths::NewLibraryRoot() const {
  return userLibraryDirectory.empty() ? programDirectory : userLibraryDirectory;
}

std::string AppPaths::LibraryFolderPath(const std::string& libraryFolder) const {
  for (const std::string& root : LibraryRoots()) {
    if (IsFolder(root + libraryFolder)) return root + libraryFolder;
  }
  return NewLibraryRoot() + libraryFolder;
}

bool AppPaths::IsInstalledLibrary(const std::string& libraryFolder) const {
  return !userLibraryDirectory.empty() && !IsFolder(userLibraryDirectory + libraryFolder) &&
         IsFolder(programDirectory + libraryFolder);
}

namespace {

// The program's folder under the base directory variable names, or under
// fallback in the home folder.
std::string XdgDirectory(const char* variable, const char* fallback) {
  // A relative path there is invalid and so ignored, as the XDG rules say.
  const char* value = std::getenv(variable);
  const std::string base =
      value && *value == '/' ? std::string(value) : WithTrailingSlash(HomeDirectory()) + fallback;
  return WithTrailingSlash(base) + "tesselor/";
}

}  // namespace

std::string UserDataDirectory() {
  return XdgDirectory("XDG_DATA_HOME", ".local/share");
}

std::string UserCacheDirectory() {
  return XdgDirectory("XDG_CACHE_HOME", ".cache");
}

void InitProgramDirectory() {
  AppPaths& paths = Paths();
  paths.userLibraryDirectory.clear();
  paths.tileCacheDirectory = UserCacheDirectory();
  if (const char* home = std::getenv("TESSELOR_HOME"); home && *home) {
    paths.programDirectory = WithTrailingSlash(home);
    return;
  }
  paths.programDirectory = ExecutableFolder();
  // A build keeps its help pages beside the programs; an installed program
  // finds its data at a fixed place relative to itself.
  const std::string installed = paths.programDirectory + TESSELOR_DATA_FROM_PROGRAM;
  if (IsFolder(paths.programDirectory + "help") || !IsFolder(installed)) return;
  paths.programDirectory = Resolved(installed);
  // Installed under the user's own prefix (~/.local), both are one folder.
  const std::string userData = UserDataDirectory();
  if (Resolved(userData) != paths.programDirectory) paths.userLibraryDirectory = userData;
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
