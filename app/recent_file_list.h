// The File menu's list of the last four photographs and mosaics, kept in the
// settings file between runs.
#pragma once

#include <QObject>
#include <QStringList>

class QSettings;

namespace tesselor {

class RecentFileList : public QObject {
  Q_OBJECT

 public:
  static constexpr int kSize = 4;

  // Reads the list from settings; every change is written back at once.
  explicit RecentFileList(QSettings& settings, QObject* parent = nullptr);

  const QStringList& Files() const { return files_; }
  // Puts path first, dropping an older entry for it and the oldest beyond four.
  void Add(const QString& path);
  void Remove(const QString& path);

 signals:
  void Changed();

 private:
  void Save();

  QSettings& settings_;
  QStringList files_;
};

}  // namespace tesselor
