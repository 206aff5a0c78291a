// Look shared by the wizard's read-only fields.
#pragma once

#include <QLineEdit>
#include <QPalette>

namespace tesselor {

// A read-only field of the wizard (image path, library) that still reads as a
// white text field rather than a greyed one.
inline QLineEdit* NewReadOnlyWhiteField(const char* name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QLatin1String(name));
  edit->setReadOnly(true);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  edit->setPalette(palette);
  return edit;
}

}  // namespace tesselor
