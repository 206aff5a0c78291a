// The terminal program's shell: messages on stderr, questions answered from
// the command line, a progress bar when stderr is a terminal, Ctrl-C as Abort.
#pragma once

#include <atomic>

#include "platform/shell.h"

namespace tesselor {

class ConsoleShell : public Shell {
 public:
  // The answer given to every Yes/No question (there is nobody to ask).
  void SetQuestionAnswer(MessageAnswer answer) { questionAnswer_ = answer; }

  MessageAnswer MessageBox(const std::string& text, MessageStyle style) override;
  std::unique_ptr<ProgressWindow> CreateProgressWindow() override;

  // Ctrl-C ends the process at once (exit status 130), removing any file
  // it was writing half-way. Installed at start for every command.
  static void InstallInterruptHandler();
  // From now on the first Ctrl-C only asks the work to stop: it sets the
  // abort flag of every progress window and InterruptRequested, so a build
  // stops between cells and keeps what it has painted. A second Ctrl-C still
  // ends the process at once.
  static void StopWorkOnInterrupt();
  static bool InterruptRequested();

 private:
  MessageAnswer questionAnswer_ = MessageAnswer::kNo;
};

}  // namespace tesselor
