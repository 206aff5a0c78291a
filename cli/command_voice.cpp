#include "cli/command_voice.h"

#include <cstdio>

namespace tesselor::cli {

int CommandVoice::UsageError(const std::string& text) const {
  std::fprintf(stderr, "tesselor-cli %s: %s\n(tesselor-cli %s --help %s)\n", name, text.c_str(),
               name, helpDoes);
  return kExitUsage;
}

int CommandVoice::Failure(const std::string& text) const {
  std::fprintf(stderr, "tesselor-cli %s: %s\n", name, text.c_str());
  return kExitFailed;
}

std::string OneLine(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

}  // namespace tesselor::cli
