#include "app/library_chooser_dialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>
#include <optional>

#include "app/help_launcher.h"
#include "app/run_modal.h"
#include "app/tile_preview.h"
#include "imagelib/any_pic_decoder.h"
#include "library/legacy_upgrade.h"
#include "library/library_catalog.h"
#include "library/tile_operations.h"
#include "platform/app_paths.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

constexpr int kTilesColumnWidth = 56;

}  // namespace

CLibraryChooserDlg::CLibraryChooserDlg(QWidget* parent)
    : QDialog(parent),
      clock([] { return QDateTime::currentSecsSinceEpoch(); }),
      list_(new QTreeWidget),
      preview_(new CTilePreview) {
  setWindowTitle(tr("Tile Libraries"));

  list_->setObjectName(QStringLiteral("libraryList"));
  list_->setColumnCount(2);
  list_->setHeaderLabels({tr("Library Name"), tr("Tiles")});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSortingEnabled(false);  // the listing's own order
  list_->header()->setSectionsClickable(false);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->header()->setSectionResizeMode(1, QHeaderView::Fixed);
  list_->header()->resizeSection(1, kTilesColumnWidth);
  list_->setMinimumSize(260, 190);
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &CLibraryChooserDlg::OnSelectionChanged);
  // A double click only selects: the dialog closes by its buttons.
  connect(list_, &QTreeWidget::itemClicked, this, &CLibraryChooserDlg::OnItemClicked);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &CLibraryChooserDlg::OnItemClicked);

  preview_->setObjectName(QStringLiteral("preview"));
  preview_->ShowNothing();
  auto* previewBox = new QGroupBox(tr("Preview"));
  auto* previewLayout = new QVBoxLayout(previewBox);
  previewLayout->addWidget(preview_, 0, Qt::AlignCenter);

  auto* select = new QPushButton(tr("Select Library"));
  select->setObjectName(QStringLiteral("selectLibrary"));
  select->setDefault(true);
  connect(select, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(tr("Cancel"));
  cancel->setObjectName(QStringLiteral("cancel"));
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* right = new QVBoxLayout;
  right->addWidget(previewBox);
  right->addWidget(select);
  right->addWidget(cancel);
  right->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(right);

  InstallHelpKey(this, HelpTopic::kIntroduction);

  timer_.setInterval(kPreviewPeriodMs);
  connect(&timer_, &QTimer::timeout, this, &CLibraryChooserDlg::OnTimer);
}

CLibraryChooserDlg::~CLibraryChooserDlg() = default;

bool CLibraryChooserDlg::Run(QWidget* parent) {
  return RunModal(new CLibraryChooserDlg(parent));
}

void CLibraryChooserDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Counting a large collection takes a while; the dialog is on screen
  // first, so its caption can show the count going on.
  if (!fillStarted_) QTimer::singleShot(0, this, &CLibraryChooserDlg::FillLibraryList);
}

void CLibraryChooserDlg::FillLibraryList() {
  if (fillStarted_) return;
  fillStarted_ = true;
  WaitCursor wait;
  fillStartTime_ = clock();
  captionDots_ = 0;

  selectedLibrary_ = Paths().currentLibrary;
  UpgradeSelectedLibrary();

  list_->setFocus();
  for (const LibraryEntry& library : ListLibraries([this](int) { OnCountingProgress(); })) {
    auto* item = new QTreeWidgetItem(
        list_, {QString::fromStdString(library.name), QString::number(library.tileCount)});
    // Installed libraries sit among the user's own; the tip tells them apart.
    if (library.isInstalled) {
      for (int column : {0, 1})
        item->setToolTip(column, QStringLiteral("Installed with Tesselor: it can be used but not "
                                                "changed"));
    }
    if (library.isCurrent) {
      list_->setCurrentItem(item);
      list_->scrollToItem(item);
    }
  }

  listFilled_ = true;
  timer_.start();
  previewIndex_ = 1;
  setWindowTitle(tr("Tile Libraries"));
  DrawPreview();
}

void CLibraryChooserDlg::OnCountingProgress() {
  const int dots = static_cast<int>((clock() - fillStartTime_) % 10);
  if (dots == captionDots_) return;
  captionDots_ = dots;
  setWindowTitle(tr("Building tile list") + QString(dots, QLatin1Char('.')));
  // Lets the new caption and pending repaints reach the screen; clicks wait
  // until the list is complete.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool CLibraryChooserDlg::TakeSelectedItem() {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) return false;
  selectedLibrary_ = selected.first()->text(0).toStdString() + "/";
  return true;
}

void CLibraryChooserDlg::OnSelectionChanged() {
  if (!TakeSelectedItem()) return;
  UpgradeSelectedLibrary();
  timer_.start();
  if (listFilled_) DrawPreview();
}

void CLibraryChooserDlg::OnItemClicked() {
  if (!TakeSelectedItem()) return;
  timer_.start();
  if (listFilled_) DrawPreview();
}

void CLibraryChooserDlg::OnTimer() {
  if (!listFilled_) return;
  ++previewIndex_;
  DrawPreview();
}

void CLibraryChooserDlg::DrawPreview() {
  const std::optional<std::string> path = PreviewTilePath(selectedLibrary_, previewIndex_);
  auto bitmap = std::make_unique<CDrawDibBmp>();
  bool readable = false;
  if (path) {
    try {
      CAnyPicDecoder().DecodeFile(*path, *bitmap, 32);
      readable = true;
    } catch (const std::exception&) {
    }
  }
  if (readable) {
    previewBitmap_ = std::move(bitmap);
    preview_->ShowTile(previewBitmap_.get());
    return;
  }
  // A library without tiles shows no square at all.
  preview_->ShowNothing();
  previewBitmap_.reset();
  // The preview comes round to the same tile every few seconds; its fault is
  // told once.
  if (path && reportedUnreadable_.insert(*path).second) {
    WithTimerPaused([] {
      ShowMessage(tr("Unable to read file, it may not contain a valid image").toStdString(),
                  MessageStyle::kExclamation);
    });
  }
}

void CLibraryChooserDlg::UpgradeSelectedLibrary() {
  WithTimerPaused([this] {
    try {
      UpgradeLegacyTiles(selectedLibrary_);
    } catch (const FileError& error) {
      ReportFileError(error);
    }
  });
}

void CLibraryChooserDlg::WithTimerPaused(const std::function<void()>& show) {
  const bool wasRunning = timer_.isActive();
  timer_.stop();
  show();
  if (wasRunning) timer_.start();
}

void CLibraryChooserDlg::accept() {
  if (TakeSelectedItem()) {
    std::string name = selectedLibrary_;
    name.pop_back();
    MakeCurrentLibrary(name);
  }
  QDialog::accept();
}

}  // namespace tesselor
