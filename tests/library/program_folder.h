// A temporary program folder installed as programDirectory for one test, with
// a scripted shell that records messages and answers questions, so library
// commands run without a display.
#pragma once

#include <sys/stat.h>

#include <initializer_list>
#include <string>

#include "platform/app_paths.h"
#include "tests/support/scripted_shell.h"
#include "tests/support/test_support.h"

namespace tesselor::testing {

class ProgramFolder {
 public:
  ProgramFolder() : saved_(Paths()) {
    Paths().programDirectory = dir_.Path();
    Paths().currentLibrary = "Demo Tile Library/";
  }
  ~ProgramFolder() { Paths() = saved_; }

  // Makes folder name (relative to the program folder) holding files, each
  // with its own name as content so renames can be followed.
  std::string Folder(const std::string& name, std::initializer_list<const char*> files = {}) {
    const std::string folder = dir_.File(name) + "/";
    mkdir(folder.c_str(), 0777);
    for (const char* file : files) WriteText(folder + file, file);
    return folder;
  }

  const std::string& Path() const { return dir_.Path(); }

  static void WriteText(const std::string& path, const std::string& text) {
    WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
  }
  static std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
  }

  ScriptedShell shell;

 private:
  TempDir dir_;
  AppPaths saved_;
};

}  // namespace tesselor::testing
