// How views and the frame hear that the document changed.
#pragma once

namespace tesselor {

// Told when the document changes, so views and the frame can follow.
class DocumentListener {
 public:
  virtual ~DocumentListener() = default;
  // A photograph was opened or a new document started: views start afresh.
  virtual void OnInitialUpdate() {}
  // The picture shown (or its content) changed.
  virtual void OnUpdate() {}
  virtual void OnTitleChanged() {}
  // A build started or ended; commands are greyed while it runs.
  virtual void OnBusyChanged() {}
};

}  // namespace tesselor
