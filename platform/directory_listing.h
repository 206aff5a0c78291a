// Lists a folder the way the program's readers expect: a wildcard pattern that
// ignores letter case, and a fixed order so results are the same everywhere.
#pragma once

#include <string>
#include <vector>

struct stat;

namespace tesselor {

struct DirectoryEntry {
  std::string name;      // file name with extension
  std::string fullPath;  // folder + name
  bool isDirectory = false;
};

// True when name matches pattern ('*' any run, '?' one character), ignoring
// ASCII letter case as a case-insensitive file system would.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Entries of folder (with or without a trailing '/') whose names match
// pattern, "." and ".." left out, ordered by name ignoring case, then by
// bytes. A folder that does not exist or cannot be read lists nothing.
std::vector<DirectoryEntry> ListDirectory(const std::string& folder, const std::string& pattern);

// True when path names a folder (or a link to one).
bool IsFolder(const std::string& path);

// Makes folder and any of its parents that are missing; true when folder is
// there afterwards.
bool MakeFolderWithParents(const std::string& folder);

// A read-only descriptor for path when it names a regular file, else -1.
// Folders, pipes, devices and sockets named like pictures are refused
// without waiting on them, so a pipe nobody writes to cannot hang a reader.
// The file's details go to info when it is given.
int OpenRegularFileForReading(const std::string& path, struct stat* info = nullptr);

// True when path names a regular file that can be opened for reading now.
bool CanOpenForReading(const std::string& path);

// The file name without its last extension ("beach.JPG" gives "beach").
std::string FileTitle(const std::string& name);

// The last three characters of path, lower-cased (shorter paths as they are).
std::string LowerLastThree(const std::string& path);

std::string ToLowerAscii(std::string text);
std::string ToUpperAscii(std::string text);

// Folder with exactly one trailing '/'.
std::string WithTrailingSlash(std::string folder);

}  // namespace tesselor
