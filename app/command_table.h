// Every command the desktop program offers, as the menus, toolbar, status bar
// and accelerators present it: its status-bar prompt and tooltip, and its
// shortcut keys.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

namespace tesselor {

struct CommandInfo {
  int id;
  // The prompt shown in the status bar while the command is highlighted.
  QString prompt;
  // The toolbar button's tooltip ("" when it has none).
  QString tooltip;
  // The keys bound to it, first table entry first.
  QList<QKeySequence> shortcuts;
};

// The command of that id, or null for one the program does not know.
const CommandInfo* FindCommand(int id);

// The status-bar text while nothing is highlighted.
inline constexpr const char* kIdleStatusText = "For Help, press F1";

}  // namespace tesselor
