#include "app/folder_browser.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QStringList>

#include "app/run_modal.h"

namespace tesselor {

QString ShortenForStatusLine(const QString& folder) {
  if (folder.size() <= CFolderBrowser::kStatusLength) return folder;
  return folder.left(CFolderBrowser::kStatusLength) + QStringLiteral("...");
}

CFolderBrowser::CFolderBrowser(QString initialFolder, QWidget* owner)
    : initialFolder_(std::move(initialFolder)), owner_(owner) {}

int CFolderBrowser::DoModal() {
  folder_ = initialFolder_;
  const QString start = initialFolder_.isEmpty() ? QDir::currentPath() : initialFolder_;
  auto* dialog = new QFileDialog(owner_, tr("Browse for Folder"), start);
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly);
  // The desktop's own dialog has no room for a status line of ours.
  dialog->setOption(QFileDialog::DontUseNativeDialog);

  auto* title = new QLabel(tr("Current Selection"));
  auto* status = new QLabel(ShortenForStatusLine(start));
  status->setObjectName(QStringLiteral("status"));
  if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
    const int row = grid->rowCount();
    grid->addWidget(title, row, 0);
    grid->addWidget(status, row, 1, 1, grid->columnCount() - 1);
  }
  dialog_ = dialog;
  status_ = status;
  // A highlighted folder is the selection; with nothing highlighted, the
  // folder being shown is.
  QObject::connect(dialog, &QFileDialog::currentChanged, [this](const QString& path) {
    if (!path.isEmpty()) OnSelectionChanged(path);
  });
  QObject::connect(dialog, &QFileDialog::directoryEntered,
                   [this](const QString& path) { OnSelectionChanged(path); });

  QStringList chosen;
  RunModal(dialog, [&chosen](QFileDialog& shown) { chosen = shown.selectedFiles(); });
  if (chosen.isEmpty()) return kNotChosen;
  folder_ = QDir::cleanPath(chosen.first());
  return kChosen;
}

void CFolderBrowser::OnSelectionChanged(const QString& folder) {
  folder_ = folder;
  if (status_) status_->setText(ShortenForStatusLine(folder));
}

}  // namespace tesselor
