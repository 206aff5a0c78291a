#include "app/wizard_tiles_page.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/current_library_name.h"
#include "app/wizard_fields.h"
#include "app/wizard_picture.h"
#include "engine/mosaic_settings.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

// "24 x 24": small enough to look like a mosaic, large enough to build fast.
constexpr int kFirstTileSizePosition = 3;

}  // namespace

CWizardTilesPage::CWizardTilesPage(QWidget* parent)
    : CWizardChoicePage(tr("Mosaic Options"), parent) {
  setTitle(tr("Step Three - Last step"));
  for (size_t i = 0; i < pictures_.size(); ++i)
    pictures_[i] = LoadWizardPicture(kTileSizePictureIds[i]);

  tileSize_ = new QComboBox;
  tileSize_->setObjectName(QStringLiteral("tileSize"));
  for (const char* text : kTileSizeTexts) tileSize_->addItem(tr(text));
  tileSize_->setCurrentIndex(kFirstTileSizePosition);

  ShowPicture(pictures_[kFirstTileSizePosition].get());
  connect(tileSize_, &QComboBox::currentIndexChanged, this, [this](int position) {
    if (position >= 0) ShowPicture(pictures_[position].get());
  });

  library_ = NewReadOnlyWhiteField("library");
  library_->setText(CurrentLibraryName());
  auto* change = new QPushButton(tr("Change..."));
  change->setObjectName(QStringLiteral("changeLibrary"));
  connect(change, &QPushButton::clicked, this, &CWizardTilesPage::OnChangeLibrary);

  auto* dimensions = new QFormLayout;
  dimensions->addRow(tr("Dimensions :"), tileSize_);
  auto* libraryRow = new QHBoxLayout;
  libraryRow->addWidget(library_, 1);
  libraryRow->addWidget(change);
  AddRow(new QLabel(tr("Select the tile size for the mosaic:")));
  AddRow(dimensions);
  AddRow(new QLabel(tr("Then select a tile library:")));
  AddRow(libraryRow);
}

int CWizardTilesPage::TileSizePosition() const {
  return tileSize_->currentIndex();
}

void CWizardTilesPage::OnChangeLibrary() {
  // Written back after a cancelled choice too, so the field always names the
  // library a build would use.
  Shell::Instance().RunLibraryChooser();
  library_->setText(CurrentLibraryName());
}

}  // namespace tesselor
