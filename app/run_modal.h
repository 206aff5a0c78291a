// The one way the program runs a modal dialog.
#pragma once

#include <QDialog>
#include <QPointer>
#include <cstddef>
#include <type_traits>

namespace tesselor {

// Runs dialog, made with new, modally and deletes it, returning what exec()
// returned; before it goes, read(dialog, result) takes what it needs from it.
// While it runs its parent may go away and take the dialog along; that
// counts as a cancel: read is not called and the result is QDialog::Rejected.
// Dialogs are never on the stack: a parent that went away would delete them
// a second time.
template <typename Dialog, typename Read = std::nullptr_t>
int ExecModal(Dialog* dialog, Read read = nullptr) {
  const QPointer<Dialog> guard(dialog);
  const int result = guard->exec();
  if (!guard) return QDialog::Rejected;
  if constexpr (!std::is_same_v<Read, std::nullptr_t>) read(*guard, result);
  delete guard.data();
  return result;
}

// The same for a dialog that is accepted or not: true when it was accepted,
// and then onAccept(dialog) reads what it needs from it.
template <typename Dialog, typename OnAccept = std::nullptr_t>
bool RunModal(Dialog* dialog, OnAccept onAccept = nullptr) {
  return ExecModal(dialog, [&onAccept](Dialog& shown, [[maybe_unused]] int result) {
           if constexpr (!std::is_same_v<OnAccept, std::nullptr_t>) {
             if (result == QDialog::Accepted) onAccept(shown);
           }
         }) == QDialog::Accepted;
}

}  // namespace tesselor
