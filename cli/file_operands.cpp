#include "cli/file_operands.h"

#include <cstdio>

namespace tesselor::cli {

std::optional<int> ParseFileOperands(const FileCommand& command, const Arguments& args,
                                     Arguments& files) {
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (!optionsEnded && (arg == "-h" || arg == "--help")) {
      std::fputs(command.usage, stdout);
      return kExitDone;
    }
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      return UsageError(command, "unknown option " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != command.operands)
    return UsageError(command, "expected " + std::to_string(command.operands) + " file name" +
                                   (command.operands == 1 ? "" : "s") + ", got " +
                                   std::to_string(files.size()));
  return std::nullopt;
}

int UsageError(const FileCommand& command, const std::string& text) {
  std::fprintf(stderr, "tesselor-cli %s: %s\n(tesselor-cli %s --help shows the usage)\n",
               command.name, text.c_str(), command.name);
  return kExitUsage;
}

int Failure(const FileCommand& command, const std::string& text) {
  std::fprintf(stderr, "tesselor-cli %s: %s\n", command.name, text.c_str());
  return kExitFailed;
}

std::string OneLine(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

}  // namespace tesselor::cli
