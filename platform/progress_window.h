// The status line, progress bar and Abort button shown during long work.
#pragma once

#include <cstdint>
#include <string>

namespace tesselor {

class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;

  virtual void SetRange(int64_t low, int64_t high) = 0;
  virtual void SetPos(int64_t pos) = 0;
  virtual void StepIt() = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  // Set by the Abort button; the work reads it between steps.
  virtual bool AbortRequested() const = 0;
};

// A progress window that shows nothing, for work done without a front end.
class SilentProgressWindow : public ProgressWindow {
 public:
  void SetRange(int64_t, int64_t) override {}
  void SetPos(int64_t) override {}
  void StepIt() override {}
  void SetStatusText(const std::string&) override {}
  bool AbortRequested() const override { return false; }
};

}  // namespace tesselor
