// How a tesselor-cli command speaks on stderr: each message starts
// "tesselor-cli NAME: ", and a usage error points at the command's --help.
#pragma once

#include <string>

#include "cli/commands.h"

namespace tesselor::cli {

struct CommandVoice {
  const char* name;      // "mosaic"
  const char* helpDoes;  // what --help does, for the hint: "lists the options"

  // Reports bad usage and returns kExitUsage.
  int UsageError(const std::string& text) const;
  // Reports a failure and returns kExitFailed.
  int Failure(const std::string& text) const;
};

// An image-library error text without its trailing line feeds, for a message
// that continues on one line.
std::string OneLine(std::string text);

}  // namespace tesselor::cli
