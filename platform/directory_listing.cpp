#include "platform/directory_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace tesselor {

namespace {

// ASCII letters only, whatever the locale: std::tolower would lower other
// bytes in a single-byte locale, and listings (so mosaics) would then depend
// on the user's language settings.
char LowerChar(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compared in place: a library's listing sorts thousands of names.
bool NameLess(const DirectoryEntry& a, const DirectoryEntry& b) {
  const auto lowerLess = [](char x, char y) {
    return static_cast<unsigned char>(LowerChar(x)) < static_cast<unsigned char>(LowerChar(y));
  };
  if (std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                   lowerLess))
    return true;
  if (std::lexicographical_compare(b.name.begin(), b.name.end(), a.name.begin(), a.name.end(),
                                   lowerLess))
    return false;
  return a.name < b.name;
}

}  // namespace

std::string ToLowerAscii(std::string text) {
  for (char& c : text) c = LowerChar(c);
  return text;
}

std::string ToUpperAscii(std::string text) {
  for (char& c : text) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return text;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolderWithParents(const std::string& folder) {
  const std::string path = WithTrailingSlash(folder);
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (!IsFolder(part) && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(path);
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // Iterative matcher with one backtrack point for the last '*'.
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || LowerChar(pattern[p]) == LowerChar(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<DirectoryEntry> ListDirectory(const std::string& folder, const std::string& pattern) {
  std::vector<DirectoryEntry> entries;
  const std::string base = WithTrailingSlash(folder);
  DIR* dir = opendir(base.c_str());
  if (!dir) return entries;
  while (dirent* item = readdir(dir)) {
    const std::string name = item->d_name;
    if (name == "." || name == ".." || !WildcardMatch(pattern, name)) continue;
    DirectoryEntry entry{name, base + name, false};
    // Most file systems say in the listing what an entry is; only the rest
    // (and links, which may point at folders) cost a stat.
    if (item->d_type == DT_DIR) {
      entry.isDirectory = true;
    } else if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
      struct stat info {};
      if (stat(entry.fullPath.c_str(), &info) == 0) entry.isDirectory = S_ISDIR(info.st_mode);
    }
    entries.push_back(std::move(entry));
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(), NameLess);
  return entries;
}

int OpenRegularFileForReading(const std::string& path, struct stat* info) {
  // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat details {};
  if (!info) info = &details;
  if (fstat(fd, info) != 0 || !S_ISREG(info->st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  return fd;
}

bool CanOpenForReading(const std::string& path) {
  const int fd = OpenRegularFileForReading(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string FileTitle(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  const std::string leaf = slash == std::string::npos ? name : name.substr(slash + 1);
  const size_t dot = leaf.find_last_of('.');
  return dot == std::string::npos ? leaf : leaf.substr(0, dot);
}

std::string LowerLastThree(const std::string& path) {
  return ToLowerAscii(path.size() <= 3 ? path : path.substr(path.size() - 3));
}

std::string WithTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace tesselor
