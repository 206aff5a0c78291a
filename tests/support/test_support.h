// Small helpers the suites share: a temporary folder that cleans up after
// itself, file bytes, and bitmaps filled with known pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imagelib/draw_dib_bmp.h"

namespace tesselor::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away. Path() ends in '/'.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
std::string ReadFileText(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool FileExists(const std::string& path);
// Names in folder (not "." or ".."), sorted.
std::vector<std::string> ListNames(const std::string& folder);

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// A 32-bit bitmap whose pixel (x, y) is colour(x, y); the fourth byte is 0.
void FillBitmap(CBmp& bmp, int width, int height, const std::function<Rgb(int, int)>& colour);
Rgb PixelAt(const CBmp& bmp, int x, int y);

// Makes a named pipe at path that no one writes to, the way a hostile
// folder can hold one named like a picture.
void MakeIdlePipe(const std::string& path);
// Runs body and returns true when it finished within a few seconds. A body
// stuck opening the idle pipe at path is released by opening the pipe's
// other end, so a fault fails the test instead of hanging it.
bool FinishesBesideIdlePipe(const std::string& path, const std::function<void()>& body);

// Runs a shell command and returns its exit status.
int RunCommand(const std::string& command);
// True when program is on PATH.
bool HaveProgram(const std::string& program);

// A shell command run in the background, for tests that press Ctrl-C. The
// signals go to the shell's process: a command that should get them itself
// starts the program with exec.
class BackgroundCommand {
 public:
  explicit BackgroundCommand(const std::string& command);
  ~BackgroundCommand();  // ends and reaps it when the test did not wait
  BackgroundCommand(const BackgroundCommand&) = delete;
  BackgroundCommand& operator=(const BackgroundCommand&) = delete;

  int Pid() const { return pid_; }
  // Sends Ctrl-C's signal as soon as ready() holds, checking every fraction
  // of a millisecond; the command is frozen from that moment until the
  // signal is pending, so it gets it where ready() saw it. False when it
  // ended first (or after 30 s).
  bool InterruptWhen(const std::function<bool()>& ready);
  void Interrupt();
  // The exit status, or 128 + the signal that ended it.
  int Wait();

 private:
  int pid_ = -1;
};

}  // namespace tesselor::testing
