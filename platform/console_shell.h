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

  // Ctrl-C sets the abort flag of every progress window instead of ending the
  // process, so a build stops between cells and keeps what it has painted.
  static void InstallInterruptHandler();
  static bool InterruptRequested();

 private:
  MessageAnswer questionAnswer_ = MessageAnswer::kNo;
};

}  // namespace tesselor
