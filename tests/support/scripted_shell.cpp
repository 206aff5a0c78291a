#include "tests/support/scripted_shell.h"

namespace tesselor {

namespace {

class ScriptedProgressWindow : public ProgressWindow {
 public:
  ScriptedProgressWindow(std::vector<ProgressRecord>& records, size_t index)
      : records_(records), index_(index) {}

  void SetRange(int64_t low, int64_t high) override {
    Record().low = low;
    Record().high = high;
  }
  void SetPos(int64_t pos) override { Record().pos = pos; }
  void StepIt() override {
    ++Record().pos;
    ++Record().steps;
  }
  void SetStatusText(const std::string& text) override { Record().status = text; }
  bool AbortRequested() const override {
    const ProgressRecord& record = records_[index_];
    return record.abortAfterSteps >= 0 && record.steps >= record.abortAfterSteps;
  }

 private:
  // Records live in a vector that may grow, so look the entry up each time.
  ProgressRecord& Record() { return records_[index_]; }

  std::vector<ProgressRecord>& records_;
  size_t index_;
};

}  // namespace

MessageAnswer ScriptedShell::MessageBox(const std::string& text, MessageStyle style) {
  messages.push_back({text, style});
  if (style != MessageStyle::kQuestion) return MessageAnswer::kOk;
  if (answers.empty()) return MessageAnswer::kNo;
  MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::unique_ptr<ProgressWindow> ScriptedShell::CreateProgressWindow() {
  ProgressRecord record;
  if (!abortAfterSteps.empty()) {
    record.abortAfterSteps = abortAfterSteps.front();
    abortAfterSteps.pop_front();
  }
  progress.push_back(record);
  return std::make_unique<ScriptedProgressWindow>(progress, progress.size() - 1);
}

void ScriptedShell::PumpMessages() {
  ++pumps;
  if (onPump) onPump();
}

std::optional<std::string> ScriptedShell::FileDialog(FileDialogMode, const std::string&,
                                                     const std::vector<FileDialogType>&,
                                                     const FileDialogLabels& labels) {
  fileDialogLabels.push_back(labels);
  if (dialogPaths.empty()) return std::nullopt;
  std::optional<std::string> path = dialogPaths.front();
  dialogPaths.pop_front();
  return path;
}

std::optional<std::string> ScriptedShell::BrowseForFolder() {
  return FileDialog(FileDialogMode::kOpen, "", {});
}

bool ScriptedShell::RunOptionsDialog(CTesselorDoc& doc) {
  return optionsDialog && optionsDialog(doc);
}

bool ScriptedShell::RunWizard(CTesselorDoc& doc) {
  return wizard && wizard(doc);
}

void ScriptedShell::RunLibraryManager(CTesselorDoc& doc, bool createNewLibrary) {
  if (libraryManager) libraryManager(doc, createNewLibrary);
}

bool ScriptedShell::RunLibraryChooser() {
  return libraryChooser && libraryChooser();
}

std::vector<std::string> ScriptedShell::MessageTexts() const {
  std::vector<std::string> texts;
  for (const RecordedMessage& message : messages) texts.push_back(message.text);
  return texts;
}

}  // namespace tesselor
