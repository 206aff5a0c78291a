// Command-line handling shared by the commands that take only file names
// (info, convert): --help, the file operands, and their messages.
#pragma once

#include <optional>
#include <string>

#include "cli/command_voice.h"

namespace tesselor::cli {

struct FileCommand : CommandVoice {
  const char* usage;  // the whole --help text
  size_t operands;    // how many file names it takes
};

// The file names in args, or the exit code when there is nothing more to
// do: --help printed (0) or bad usage reported (2). "--" ends the options,
// for file names that start with '-'.
std::optional<int> ParseFileOperands(const FileCommand& command, const Arguments& args,
                                     Arguments& files);

}  // namespace tesselor::cli
