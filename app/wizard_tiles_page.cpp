#include "app/wizard_tiles_page.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

CWizardPageFour::CWizardPageFour(QWidget* parent) : QWizardPage(parent) {
  setTitle(tr("Step Three - Last step"));
  for (size_t i = 0; i < pictures_.size(); ++i)
    pictures_[i] = LoadWizardPicture(kTileSizePictureIds[i]);

  tileSize_ = new QComboBox;
  tileSize_->setObjectName(QStringLiteral("tileSize"));
  for (const char* text : kTileSizeTexts) tileSize_->addItem(tr(text));
  tileSize_->setCurrentIndex(kFirstTileSizePosition);

  frame_ = new CWizardPicture(CWizardPicture::Fit::kWidth);
  frame_->SetPicture(pictures_[kFirstTileSizePosition].get());
  connect(tileSize_, &QComboBox::currentIndexChanged, this, [this](int position) {
    if (position >= 0) frame_->SetPicture(pictures_[position].get());
  });

  library_ = NewReadOnlyWhiteField("library");
  library_->setText(CurrentLibraryName());
  auto* change = new QPushButton(tr("Change..."));
  change->setObjectName(QStringLiteral("changeLibrary"));
  connect(change, &QPushButton::clicked, this, &CWizardPageFour::OnChangeLibrary);

  auto* group = new QGroupBox(tr("Mosaic Options"));
  auto* dimensions = new QFormLayout;
  dimensions->addRow(tr("Dimensions :"), tileSize_);
  auto* libraryRow = new QHBoxLayout;
  libraryRow->addWidget(library_, 1);
  libraryRow->addWidget(change);
  auto* inGroup = new QVBoxLayout(group);
  inGroup->addWidget(new QLabel(tr("Select the tile size for the mosaic:")));
  inGroup->addLayout(dimensions);
  inGroup->addWidget(new QLabel(tr("Then select a tile library:")));
  inGroup->addLayout(libraryRow);
  inGroup->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(group, 1);
  layout->addWidget(frame_, 0, Qt::AlignTop);
}

int CWizardPageFour::TileSizePosition() const {
  return tileSize_->currentIndex();
}

const CBmp* CWizardPageFour::ShownPicture() const {
  return frame_->Picture();
}

void CWizardPageFour::OnChangeLibrary() {
  // Written back after a cancelled choice too, so the field always names the
  // library a build would use.
  Shell::Instance().RunLibraryChooser();
  library_->setText(CurrentLibraryName());
}

}  // namespace tesselor
