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
      return command.UsageError("unknown option " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != command.operands)
    return command.UsageError("expected " + std::to_string(command.operands) + " file name" +
                              (command.operands == 1 ? "" : "s") + ", got " +
                              std::to_string(files.size()));
  return std::nullopt;
}

}  // namespace tesselor::cli
