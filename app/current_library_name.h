// The current tile library's folder name as dialogs show it.
#pragma once

#include <QString>

#include "platform/app_paths.h"

namespace tesselor {

// currentLibrary without its trailing '/'.
inline QString CurrentLibraryName() {
  QString name = QString::fromStdString(Paths().currentLibrary);
  if (name.endsWith(QLatin1Char('/'))) name.chop(1);
  return name;
}

}  // namespace tesselor
