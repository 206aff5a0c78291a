// Command-line handling shared by the commands that take only file names
// (info, convert): --help, the file operands, and their messages.
#pragma once

#include <optional>
#include <string>

#include "cli/commands.h"

namespace tesselor::cli {

struct FileCommand {
  const char* name;   // "info"
  const char* usage;  // the whole --help text
  size_t operands;    // how many file names it takes
};

// The file names in args, or the exit code when there is nothing more to
// do: --help printed (0) or bad usage reported (2). "--" ends the options,
// for file names that start with '-'.
std::optional<int> ParseFileOperands(const FileCommand& command, const Arguments& args,
                                     Arguments& files);

// Reports bad usage on stderr and returns kExitUsage.
int UsageError(const FileCommand& command, const std::string& text);
// Reports a failure on stderr and returns kExitFailed.
int Failure(const FileCommand& command, const std::string& text);

// An image-library error text without its trailing line feeds, for a message
// that continues on one line.
std::string OneLine(std::string text);

}  // namespace tesselor::cli
