#include "platform/console_shell.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/progress_bar_text.h"

namespace tesselor {

namespace {

// Atomics rather than sig_atomic_t: the signal may land on any thread, and
// the flag is read on others.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> interrupted{0};
std::atomic<int> workStopsByItself{0};

using Clock = std::chrono::steady_clock;

void OnInterrupt(int) {
  if (workStopsByItself && !interrupted) {
    interrupted = 1;
    return;
  }
  RemoveTemporaryFilesNow();
  constexpr char kText[] = "\ntesselor-cli: interrupted\n";
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kText, sizeof kText - 1);
  _exit(130);
}

const char* StylePrefix(MessageStyle style) {
  switch (style) {
    case MessageStyle::kExclamation:
      return "warning: ";
    case MessageStyle::kStop:
      return "error: ";
    default:
      return "";
  }
}

// A one-line bar redrawn in place when the percentage or the second changes.
class ConsoleProgressWindow : public ProgressWindow {
 public:
  ConsoleProgressWindow() : isTerminal_(isatty(STDERR_FILENO) == 1) {}
  ~ConsoleProgressWindow() override {
    if (isTerminal_ && drawn_) std::fputc('\n', stderr);
  }

  void SetRange(int64_t low, int64_t high) override {
    low_ = low;
    high_ = high;
    // A range opens a phase of the work; its estimate starts from here.
    start_ = Clock::now();
    Draw();
  }
  void SetPos(int64_t pos) override {
    pos_ = pos;
    Draw();
  }
  void StepIt() override {
    ++pos_;
    Draw();
  }
  void SetStatusText(const std::string& text) override {
    status_ = text;
    lastPercent_ = -1;
    lastSecond_ = -1;
    Draw();
  }
  bool AbortRequested() const override { return interrupted != 0; }

 private:
  void Draw() {
    if (!isTerminal_) return;
    const int64_t span = high_ > low_ ? high_ - low_ : 1;
    int percent = static_cast<int>((pos_ - low_) * 100 / span);
    percent = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    const auto second = static_cast<int64_t>(elapsed);
    if (percent == lastPercent_ && second == lastSecond_) return;
    lastPercent_ = percent;
    lastSecond_ = second;
    // Erase to the end of the line: the times can get shorter.
    std::fprintf(stderr, "\r%s\033[K",
                 ProgressBarText(status_, pos_ - low_, high_ - low_, elapsed).c_str());
    std::fflush(stderr);
    drawn_ = true;
  }

  bool isTerminal_;
  bool drawn_ = false;
  int64_t low_ = 0, high_ = 100, pos_ = 0;
  int lastPercent_ = -1;
  int64_t lastSecond_ = -1;
  Clock::time_point start_ = Clock::now();
  std::string status_;
};

}  // namespace

MessageAnswer ConsoleShell::MessageBox(const std::string& text, MessageStyle style) {
  std::fprintf(stderr, "%s%s\n", StylePrefix(style), text.c_str());
  if (style != MessageStyle::kQuestion) return MessageAnswer::kOk;
  std::fprintf(stderr, "(answered %s)\n", questionAnswer_ == MessageAnswer::kYes ? "Yes" : "No");
  return questionAnswer_;
}

std::unique_ptr<ProgressWindow> ConsoleShell::CreateProgressWindow() {
  return std::make_unique<ConsoleProgressWindow>();
}

void ConsoleShell::InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

void ConsoleShell::StopWorkOnInterrupt() {
  workStopsByItself = 1;
}

bool ConsoleShell::InterruptRequested() {
  return interrupted != 0;
}

}  // namespace tesselor
