// tesselor-cli started from a shell as a user starts it, for the tests of
// the built program: input from /dev/null, what it prints sent to files the
// test reads afterwards. Needs TESSELOR_CLI_PATH, the program's path.
#pragma once

#include <string>

#include "tests/support/test_support.h"

namespace tesselor::testing {

// A word the shell takes as it stands (the tests' paths hold no quote).
inline std::string Quoted(const std::string& word) {
  return "'" + word + "'";
}

// The exit status and what the program printed.
struct CliRun {
  int exitCode;
  std::string out;
  std::string err;
};

struct CliCommand {
  std::string home = "";    // TESSELOR_HOME; empty keeps the environment's
  std::string folder = "";  // the working folder; empty keeps the test's own
  std::string cache = "";   // XDG_CACHE_HOME (the tile cache); empty keeps the environment's
  std::string outFile = "/dev/null";
  std::string errFile = "/dev/null";

  // The command line for arguments, which are shell words already. The
  // program replaces the shell (exec), so a signal sent to the shell's
  // process reaches the program.
  std::string Line(const std::string& arguments) const {
    std::string line = folder.empty() ? "" : "cd " + Quoted(folder) + " && ";
    if (!home.empty()) line += "TESSELOR_HOME=" + Quoted(home) + " ";
    if (!cache.empty()) line += "XDG_CACHE_HOME=" + Quoted(cache) + " ";
    return line + "exec " + Quoted(TESSELOR_CLI_PATH) + " " + arguments + " >" + Quoted(outFile) +
           " 2>" + Quoted(errFile) + " </dev/null";
  }

  CliRun Run(const std::string& arguments) const {
    const int code = RunCommand(Line(arguments));
    return {code, ReadFileText(outFile), ReadFileText(errFile)};
  }
};

}  // namespace tesselor::testing
