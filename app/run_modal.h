// The one way the program runs a modal dialog.
#pragma once

#include <QDialog>
#include <QPointer>
#include <cstddef>
#include <type_traits>

namespace tesselor {

// Runs dialog, made with new, modally and deletes it; true when it was
// accepted, and then onAccept(dialog) reads what it needs from it. While it
// runs its parent may go away and take the dialog along; that counts as a
// cancel.
template <typename Dialog, typename OnAccept = std::nullptr_t>
bool RunModal(Dialog* dialog, OnAccept onAccept = nullptr) {
  const QPointer<Dialog> guard(dialog);
  const bool accepted = guard->exec() == QDialog::Accepted;
  if (!guard) return false;
  if constexpr (!std::is_same_v<OnAccept, std::nullptr_t>) {
    if (accepted) onAccept(*guard);
  }
  delete guard.data();
  return accepted;
}

}  // namespace tesselor
