// The user-facing services the core asks for (messages, progress, dialogs),
// provided by whichever front end runs: the Qt program, the terminal program,
// or a scripted stand-in in the tests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/progress_window.h"

namespace tesselor {

// The five message-box styles the program uses.
enum class MessageStyle {
  kOk,           // OK button, no icon
  kExclamation,  // OK button, exclamation icon
  kInformation,  // OK button, information icon
  kQuestion,     // Yes and No buttons, question icon
  kStop,         // OK button, stop icon (file errors)
};

enum class MessageAnswer { kOk, kYes, kNo };

enum class FileDialogMode { kOpen, kSave };

// One entry of a file dialog's list of types; each front end shows the list
// in its own way.
struct FileDialogType {
  std::string description;              // "Windows Bitmap"
  std::vector<std::string> extensions;  // lower case, without the dot: {"bmp"}
};

// What a file dialog says beyond its front end's defaults, for a dialog
// that saves something other than the picture ("Save As" would mislead).
struct FileDialogLabels {
  std::string title;     // empty keeps the front end's own ("Save As", "Open")
  std::string fileName;  // the name offered, without a folder; empty offers none
};

class CTesselorDoc;

class Shell {
 public:
  virtual ~Shell() = default;

  virtual MessageAnswer MessageBox(const std::string& text, MessageStyle style) = 0;

  // A modeless progress window owned by the caller for one phase of work.
  virtual std::unique_ptr<ProgressWindow> CreateProgressWindow() = 0;

  // Lets the front end handle what is waiting (clicks, repaints) without
  // blocking; called between the steps of every long operation.
  virtual void PumpMessages() {}

  virtual void BeginWaitCursor() {}
  virtual void EndWaitCursor() {}
  virtual void Beep(int /*frequencyHz*/, int /*durationMs*/) {}

  // Returns the chosen full path, or nothing when the user cancelled.
  virtual std::optional<std::string> FileDialog(FileDialogMode /*mode*/,
                                                const std::string& /*defaultExtension*/,
                                                const std::vector<FileDialogType>& /*types*/,
                                                const FileDialogLabels& /*labels*/ = {}) {
    return std::nullopt;
  }
  virtual std::optional<std::string> BrowseForFolder() { return std::nullopt; }

  // Modal dialogs run by the document. Each returns true for OK / Finish.
  virtual bool RunOptionsDialog(CTesselorDoc& /*doc*/) { return false; }
  virtual bool RunWizard(CTesselorDoc& /*doc*/) { return false; }
  virtual void RunLibraryManager(CTesselorDoc& /*doc*/, bool /*createNewLibrary*/) {}
  virtual bool RunLibraryChooser() { return false; }

  virtual void AddToRecentFiles(const std::string& /*path*/) {}

  // The process-wide shell, installed once at start-up.
  static Shell& Instance();
  static void Install(Shell* shell);
};

// Shorthands for the calls the core makes most often.
inline MessageAnswer ShowMessage(const std::string& text, MessageStyle style = MessageStyle::kOk) {
  return Shell::Instance().MessageBox(text, style);
}
inline void PumpMessages() {
  Shell::Instance().PumpMessages();
}

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
 public:
  WaitCursor() { Shell::Instance().BeginWaitCursor(); }
  ~WaitCursor() { Shell::Instance().EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace tesselor
