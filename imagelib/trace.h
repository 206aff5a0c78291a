// Optional decoder narration to a text file, and the one way the image
// library raises its errors. The program never sets a trace file, so tracing
// costs a comparison; the texts still form the exception texts.
#pragma once

#include <string>

namespace tesselor {

void SetTraceLevel(int level);
int TraceLevel();
// An empty path turns writing off.
void SetTraceFile(const std::string& path);

// Appends text to the trace file when level <= the trace level.
void Trace(int level, const std::string& text);

// Raises CTextException(code, "Decoder error: " + message + "\n").
[[noreturn]] void RaiseError(int code, const std::string& message);

}  // namespace tesselor
