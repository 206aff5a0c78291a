// A shell for tests: records every message and answers questions and dialogs
// from a script, so document and engine flows run without a display.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace tesselor {

struct RecordedMessage {
  std::string text;
  MessageStyle style;
};

// Counts what the engine does to its progress windows.
struct ProgressRecord {
  std::string status;
  int64_t low = 0, high = 0, pos = 0;
  int steps = 0;
  // The window reports Abort once this many steps were taken (-1: never).
  int abortAfterSteps = -1;
};

class ScriptedShell : public Shell {
 public:
  ScriptedShell() { Install(this); }
  ~ScriptedShell() override { Install(nullptr); }

  // Answers for Yes/No questions, taken in order; kNo when the script runs out.
  std::deque<MessageAnswer> answers;
  // Paths returned by file and folder dialogs, in order; cancel when empty.
  std::deque<std::optional<std::string>> dialogPaths;
  // Stand-ins for the modal dialogs; a missing one answers Cancel.
  std::function<bool(CTesselorDoc&)> optionsDialog;
  std::function<bool(CTesselorDoc&)> wizard;
  std::function<void(CTesselorDoc&, bool)> libraryManager;
  std::function<bool()> libraryChooser;
  // Abort plans for the progress windows, one per window in order of creation.
  std::deque<int> abortAfterSteps;
  // Called from PumpMessages, to act in the middle of long work.
  std::function<void()> onPump;

  std::vector<RecordedMessage> messages;
  std::vector<ProgressRecord> progress;  // one per window created
  std::vector<std::string> recentFiles;
  std::vector<FileDialogLabels> fileDialogLabels;  // one per file dialog shown
  std::vector<std::pair<int, int>> beeps;
  int pumps = 0;
  int waitCursorDepth = 0;

  MessageAnswer MessageBox(const std::string& text, MessageStyle style) override;
  std::unique_ptr<ProgressWindow> CreateProgressWindow() override;
  void PumpMessages() override;
  void BeginWaitCursor() override { ++waitCursorDepth; }
  void EndWaitCursor() override { --waitCursorDepth; }
  void Beep(int frequencyHz, int durationMs) override {
    beeps.emplace_back(frequencyHz, durationMs);
  }
  std::optional<std::string> FileDialog(FileDialogMode mode, const std::string& defaultExtension,
                                        const std::vector<FileDialogType>& types,
                                        const FileDialogLabels& labels = {}) override;
  std::optional<std::string> BrowseForFolder() override;
  bool RunOptionsDialog(CTesselorDoc& doc) override;
  bool RunWizard(CTesselorDoc& doc) override;
  void RunLibraryManager(CTesselorDoc& doc, bool createNewLibrary) override;
  bool RunLibraryChooser() override;
  void AddToRecentFiles(const std::string& path) override { recentFiles.push_back(path); }

  std::vector<std::string> MessageTexts() const;
};

}  // namespace tesselor
