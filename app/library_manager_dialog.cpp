#include "app/library_manager_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <vector>

#include "app/current_library_name.h"
#include "app/help_launcher.h"
#include "app/run_modal.h"
#include "app/text_input_dialog.h"
#include "app/tile_preview.h"
#include "imagelib/any_pic_decoder.h"
#include "library/tile_files.h"
#include "library/tile_operations.h"
#include "platform/app_paths.h"
#include "platform/shell.h"

namespace tesselor {

CLibraryManagerDlg::CLibraryManagerDlg(QWidget* parent)
    : QDialog(parent),
      tileList_(new QListWidget),
      preview_(new CTilePreview),
      progressBar_(new QProgressBar),
      countText_(new QLabel),
      fit_(new QComboBox),
      unchangeableNotice_(new QLabel),
      run_(TileMakingView{ProgressCallbacks(),
                          [this](const std::string&, const CBmp& tile) { ShowMadeTile(tile); },
                          [this] { RefreshTileList(); }}) {
  tileList_->setObjectName(QStringLiteral("tileList"));
  tileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tileList_->setMinimumSize(180, 300);
  // The list previews the item that has the caret, the one last clicked or
  // moved to, whether that click selected it or not.
  connect(tileList_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item) LoadPreview(item->text().toStdString());
  });

  preview_->setObjectName(QStringLiteral("preview"));
  auto* previewBox = new QGroupBox(tr("Preview"));
  auto* previewLayout = new QVBoxLayout(previewBox);
  previewLayout->addWidget(preview_, 0, Qt::AlignCenter);

  progressBar_->setObjectName(QStringLiteral("progressBar"));
  progressBar_->setTextVisible(false);
  progressBar_->hide();
  countText_->setObjectName(QStringLiteral("tileCount"));
  countText_->setAlignment(Qt::AlignCenter);
  // The bar takes the count's place while it runs, and the buttons below
  // must not move when they swap.
  countText_->setFixedHeight(progressBar_->sizeHint().height());
  auto* statusRow = new QGridLayout;
  statusRow->addWidget(countText_, 0, 0);
  statusRow->addWidget(progressBar_, 0, 0);

  auto* left = new QVBoxLayout;
  left->addWidget(previewBox);
  left->addLayout(statusRow);
  left->addSpacing(4);
  left->addWidget(AddButton(tr("Delete selected tiles"), "deleteTiles",
                            &CLibraryManagerDlg::DeleteSelectedTiles));
  left->addWidget(
      AddButton(tr("Add new tiles"), "addTiles", &CLibraryManagerDlg::MakeTilesFromFolder));
  // Items in TileFit order.
  fit_->setObjectName(QStringLiteral("fit"));
  fit_->addItems({tr("Squeeze the whole photo"), tr("Crop the centre square")});
  fit_->setToolTip(tr("How a photo that is not square becomes a square tile"));
  left->addWidget(fit_);
  left->addWidget(
      AddButton(tr("Rename all tiles"), "renameTiles", &CLibraryManagerDlg::RenameAllTiles));
  left->addWidget(AddButton(tr("Select tile library"), "selectLibrary",
                            &CLibraryManagerDlg::SelectTileLibrary));
  left->addWidget(
      AddButton(tr("Create new library"), "createLibrary", &CLibraryManagerDlg::CreateNewLibrary));
  left->addStretch();

  auto* ok = new QPushButton(tr("OK"));
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  unchangeableNotice_->setObjectName(QStringLiteral("unchangeableNotice"));
  unchangeableNotice_->setWordWrap(true);
  unchangeableNotice_->setMaximumWidth(tileList_->minimumWidth());
  auto* right = new QVBoxLayout;
  right->addWidget(tileList_, 1);
  right->addWidget(unchangeableNotice_);
  right->addWidget(ok);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addSpacing(8);
  layout->addLayout(right, 1);

  InstallHelpKey(this, HelpTopic::kLibraryManager);

  ShowBlackPreview();
  RefreshTileList();
}

CLibraryManagerDlg::~CLibraryManagerDlg() = default;

void CLibraryManagerDlg::Run(CTesselorDoc&, bool createNewLibrary, QWidget* parent) {
  if (createNewLibrary) {
    CreateNewLibraryFromDialog(parent);
    return;
  }
  RunModal(new CLibraryManagerDlg(parent));
}

bool CreateNewLibraryFromDialog(QWidget* parent) {
  bool created = false;
  RunModal(
      new CTextInputDlg(CLibraryManagerDlg::tr("Create a new tile library"),
                        CLibraryManagerDlg::tr("Please input the name of the new tile library:"), 0,
                        parent),
      [&created](CTextInputDlg& input) { created = CreateNewLibrary(input.Text().toStdString()); });
  return created;
}

QPushButton* CLibraryManagerDlg::AddButton(const QString& text, const char* name,
                                           void (CLibraryManagerDlg::*handler)()) {
  auto* button = new QPushButton(text);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, handler);
  return button;
}

ProgressBar CLibraryManagerDlg::ProgressCallbacks() {
  return {[this](int total) { ShowProgress(total); },
          [this] { progressBar_->setValue(progressBar_->value() + 1); },
          [this] { HideProgress(); }};
}

void CLibraryManagerDlg::ShowProgress(int total) {
  progressBar_->setRange(0, total);
  progressBar_->setValue(0);
  countText_->hide();
  progressBar_->show();
}

void CLibraryManagerDlg::HideProgress() {
  progressBar_->hide();
  countText_->show();
}

void CLibraryManagerDlg::ShowCount() {
  countText_->setText(QString::fromStdString(TileCountText(tileList_->count())));
}

QStringList CLibraryManagerDlg::TileNames() const {
  QStringList names;
  for (int i = 0; i < tileList_->count(); ++i) names.append(tileList_->item(i)->text());
  return names;
}

void CLibraryManagerDlg::RefreshTileList() {
  tileList_->clear();
  // The list is always the current library's, so the title says which.
  setWindowTitle(tr("Library manager - %1").arg(CurrentLibraryName()));
  const TileList tiles = tesselor::RefreshTileList(Paths().currentLibrary);
  // The names come sorted the way the rename numbers them, so the list
  // keeps that order rather than sorting by its own rule.
  for (const std::string& name : tiles.names) tileList_->addItem(QString::fromStdString(name));
  // An empty library must not go on showing a tile of the library before.
  if (tiles.firstFound.empty())
    ShowBlackPreview();
  else
    LoadPreview(tiles.firstFound);
  ShowCount();
  // Said up front, so the buttons that would change the library are no
  // surprise when they refuse.
  const QString reason = QString::fromStdString(UnchangeableReason(Paths().currentLibrary));
  unchangeableNotice_->setText(reason);
  unchangeableNotice_->setVisible(!reason.isEmpty());
}

void CLibraryManagerDlg::LoadPreview(const std::string& name) {
  auto bitmap = std::make_unique<CDrawDibBmp>();
  try {
    CAnyPicDecoder().DecodeFile(TilePath(Paths().currentLibrary, name), *bitmap, 32);
  } catch (const std::exception&) {
    // A tile that does not read is simply not shown.
    bitmap.reset();
  }
  previewBitmap_ = std::move(bitmap);
  preview_->ShowTile(previewBitmap_.get());
}

void CLibraryManagerDlg::ShowMadeTile(const CBmp& tile) {
  auto bitmap = std::make_unique<CDrawDibBmp>();
  TilePlanes planes;
  planes.CopyFrom(tile);
  planes.CopyTo(*bitmap);
  previewBitmap_ = std::move(bitmap);
  preview_->ShowTile(previewBitmap_.get());
}

void CLibraryManagerDlg::ShowBlackPreview() {
  previewBitmap_ = std::make_unique<CDrawDibBmp>();
  previewBitmap_->Create(kTileEdge, kTileEdge, 32, true);  // zero-filled: black
  preview_->ShowTile(previewBitmap_.get());
}

void CLibraryManagerDlg::MakeTilesFromFolder() {
  // A click during a run lands here from inside the run's message pumping;
  // the run itself turns it into a stop request, and the run keeps the fit
  // it started with.
  if (!run_.MakingTiles()) run_.SetFit(static_cast<TileFit>(fit_->currentIndex()));
  run_.MakeTilesFromFolder();
  if (pendingResult_ && !run_.MakingTiles()) {
    const int result = *pendingResult_;
    pendingResult_.reset();
    QDialog::done(result);
  }
}

void CLibraryManagerDlg::DeleteSelectedTiles() {
  std::vector<std::string> selected;
  std::vector<QListWidgetItem*> items;
  for (int i = 0; i < tileList_->count(); ++i) {
    QListWidgetItem* item = tileList_->item(i);
    if (!item->isSelected()) continue;
    selected.push_back(item->text().toStdString());
    items.push_back(item);
  }
  if (!tesselor::DeleteSelectedTiles(Paths().currentLibrary, selected)) return;
  for (QListWidgetItem* item : items) delete item;
  ShowCount();
}

void CLibraryManagerDlg::RenameAllTiles() {
  // Refused before the user types a base for nothing.
  if (RefuseUnchangeableLibrary(Paths().currentLibrary)) return;
  std::string base;
  if (!RunModal(new CTextInputDlg(tr("Renaming Tiles"), tr("Please enter tile name:"),
                                  CTextInputDlg::kMaxLength, this),
                [&base](CTextInputDlg& input) { base = input.Text().toStdString(); }))
    return;

  std::vector<std::string> names;
  for (const QString& name : TileNames()) names.push_back(name.toStdString());
  const RenameOutcome outcome =
      tesselor::RenameAllTiles(Paths().currentLibrary, names, base, ProgressCallbacks());
  // After a rename that stopped part-way the list shows the names as they
  // now are on disk.
  if (outcome == RenameOutcome::kRenamed || outcome == RenameOutcome::kFailed) RefreshTileList();
}

void CLibraryManagerDlg::SelectTileLibrary() {
  if (Shell::Instance().RunLibraryChooser()) RefreshTileList();
}

void CLibraryManagerDlg::CreateNewLibrary() {
  if (CreateNewLibraryFromDialog(this)) RefreshTileList();
}

void CLibraryManagerDlg::done(int result) {
  if (run_.MakingTiles()) {
    // The run is further down this very call stack, between two photographs;
    // closing now would pull the dialog from under it. It stops after the
    // tile in hand, and MakeTilesFromFolder closes the dialog then.
    run_.RequestStop();
    pendingResult_ = result;
    return;
  }
  QDialog::done(result);
}

}  // namespace tesselor
