#include "app/qt_shell.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "app/folder_browser.h"
#include "app/montage_progress_dlg.h"
#include "app/recent_file_list.h"
#include "app/run_modal.h"
#include "platform/app_paths.h"

namespace tesselor {

QString QtFileFilter(const std::vector<FileDialogType>& types) {
  QStringList filters;
  for (const FileDialogType& type : types) {
    QStringList patterns;
    for (const std::string& extension : type.extensions)
      patterns.append(QStringLiteral("*.") + QString::fromStdString(extension));
    filters.append(QStringLiteral("%1 (%2)").arg(QString::fromStdString(type.description),
                                                 patterns.join(QLatin1Char(' '))));
  }
  return filters.join(QStringLiteral(";;"));
}

MessageAnswer QtShell::MessageBox(const std::string& text, MessageStyle style) {
  auto* box = new QMessageBox(mainWindow_);
  box->setWindowTitle(tr("Tesselor"));
  box->setTextFormat(Qt::PlainText);
  box->setText(QString::fromStdString(text));
  switch (style) {
    case MessageStyle::kOk:
      box->setIcon(QMessageBox::NoIcon);
      break;
    case MessageStyle::kExclamation:
      box->setIcon(QMessageBox::Warning);
      break;
    case MessageStyle::kInformation:
      box->setIcon(QMessageBox::Information);
      break;
    case MessageStyle::kQuestion:
      box->setIcon(QMessageBox::Question);
      break;
    case MessageStyle::kStop:
      box->setIcon(QMessageBox::Critical);
      break;
  }
  if (style == MessageStyle::kQuestion) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::Yes);
    return ExecModal(box) == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
  }
  box->setStandardButtons(QMessageBox::Ok);
  ExecModal(box);
  return MessageAnswer::kOk;
}

std::unique_ptr<ProgressWindow> QtShell::CreateProgressWindow() {
  auto window = std::make_unique<CMontageProgressDlg>(mainWindow_);
  if (stoppingWork_) window->RequestAbort();
  progress_ = window.get();
  window->show();
  return window;
}

void QtShell::StopWork(bool stop) {
  stoppingWork_ = stop;
  if (stop && progress_) progress_->RequestAbort();
}

void QtShell::PumpMessages() {
  if (sinceLastPump_.isValid() && sinceLastPump_.elapsed() < kPumpIntervalMs) return;
  QCoreApplication::processEvents();
  sinceLastPump_.start();
}

void QtShell::BeginWaitCursor() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtShell::EndWaitCursor() {
  QApplication::restoreOverrideCursor();
}

// Desktops offer no tone of a given pitch; the system's beep stands in.
void QtShell::Beep(int, int) {
  QApplication::beep();
}

std::optional<std::string> QtShell::FileDialog(FileDialogMode mode,
                                               const std::string& defaultExtension,
                                               const std::vector<FileDialogType>& types,
                                               const FileDialogLabels& labels) {
  auto* dialog = new QFileDialog(mainWindow_, QString::fromStdString(labels.title),
                                 QDir::currentPath(), QtFileFilter(types));
  dialog->setAcceptMode(mode == FileDialogMode::kOpen ? QFileDialog::AcceptOpen
                                                      : QFileDialog::AcceptSave);
  dialog->setFileMode(mode == FileDialogMode::kOpen ? QFileDialog::ExistingFile
                                                    : QFileDialog::AnyFile);
  dialog->setDefaultSuffix(QString::fromStdString(defaultExtension));
  if (!labels.fileName.empty()) dialog->selectFile(QString::fromStdString(labels.fileName));
  // Picking an existing file's name for Save As asks before it is replaced:
  // the name may well be the photograph's own.
  QStringList chosen;
  RunModal(dialog, [&chosen](QFileDialog& shown) { chosen = shown.selectedFiles(); });
  if (chosen.isEmpty()) return std::nullopt;
  const QString path = QDir::toNativeSeparators(chosen.first());
  // The chosen folder becomes the working directory, which the document
  // remembers as the image folder and the next dialog starts in.
  ChangeDirectory(QFileInfo(path).absolutePath().toStdString());
  return path.toStdString();
}

std::optional<std::string> QtShell::BrowseForFolder() {
  // Over the dialog that asked (the library manager), else the main window.
  QWidget* owner = QApplication::activeModalWidget();
  CFolderBrowser browser({}, owner ? owner : mainWindow_.data());
  if (browser.DoModal() != CFolderBrowser::kChosen) return std::nullopt;
  return browser.GetFolder().toStdString();
}

bool QtShell::RunOptionsDialog(CTesselorDoc& doc) {
  return dialogs.optionsDialog && dialogs.optionsDialog(doc, mainWindow_);
}

bool QtShell::RunWizard(CTesselorDoc& doc) {
  return dialogs.wizard && dialogs.wizard(doc, mainWindow_);
}

void QtShell::RunLibraryManager(CTesselorDoc& doc, bool createNewLibrary) {
  if (dialogs.libraryManager) dialogs.libraryManager(doc, createNewLibrary, mainWindow_);
}

bool QtShell::RunLibraryChooser() {
  return dialogs.libraryChooser && dialogs.libraryChooser(mainWindow_);
}

void QtShell::AddToRecentFiles(const std::string& path) {
  if (recentFiles_) recentFiles_->Add(QString::fromStdString(path));
}

}  // namespace tesselor
