#include "imagelib/trace.h"

#include <cstdio>
#include <mutex>

#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

struct TraceSettings {
  std::mutex mutex;
  int level = 0;
  std::string path;
};

TraceSettings& Settings() {
  static TraceSettings settings;
  return settings;
}

// Opened and closed per message, so messages of different decodes never
// share an open stream.
void Append(const std::string& path, const std::string& text) {
  if (FILE* file = std::fopen(path.c_str(), "a")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
}

}  // namespace

void SetTraceLevel(int level) {
  std::lock_guard lock(Settings().mutex);
  Settings().level = level;
}

int TraceLevel() {
  std::lock_guard lock(Settings().mutex);
  return Settings().level;
}

void SetTraceFile(const std::string& path) {
  std::lock_guard lock(Settings().mutex);
  Settings().path = path;
}

void Trace(int level, const std::string& text) {
  TraceSettings& settings = Settings();
  std::lock_guard lock(settings.mutex);
  if (level <= settings.level && !settings.path.empty()) Append(settings.path, text);
}

void RaiseError(int code, const std::string& message) {
  // Concatenation, never a format string: paths may hold '%'.
  std::string text = "Decoder error: " + message + "\n";
  {
    TraceSettings& settings = Settings();
    std::lock_guard lock(settings.mutex);
    if (settings.level >= 0 && !settings.path.empty()) Append(settings.path, text);
  }
  throw CTextException(code, std::move(text));
}

}  // namespace tesselor
