#include "app/recent_file_list.h"

#include <QSettings>

namespace tesselor {

namespace {
constexpr const char* kSection = "Recent File List";
QString EntryKey(int index) {
  return QStringLiteral("File%1").arg(index + 1);
}
}  // namespace

RecentFileList::RecentFileList(QSettings& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
  settings_.beginGroup(kSection);
  for (int i = 0; i < kSize; ++i) {
    const QString path = settings_.value(EntryKey(i)).toString();
    if (!path.isEmpty() && !files_.contains(path)) files_.append(path);
  }
  settings_.endGroup();
}

void RecentFileList::Add(const QString& path) {
  if (path.isEmpty()) return;
  files_.removeAll(path);
  files_.prepend(path);
  while (files_.size() > kSize) files_.removeLast();
  Save();
}

void RecentFileList::Remove(const QString& path) {
  if (files_.removeAll(path) > 0) Save();
}

void RecentFileList::Save() {
  settings_.beginGroup(kSection);
  settings_.remove("");
  for (int i = 0; i < files_.size(); ++i) settings_.setValue(EntryKey(i), files_[i]);
  settings_.endGroup();
  settings_.sync();
  emit Changed();
}

}  // namespace tesselor
