#include "app/wizard_photo_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/wizard_fields.h"
#include "app/wizard_picture.h"
#include "engine/tesselor_doc.h"
#include "imagelib/photograph_decoder.h"
#include "platform/directory_listing.h"
#include "platform/shell.h"

namespace tesselor {

CWizardPhotoPage::CWizardPhotoPage(QWidget* parent) : QWizardPage(parent) {
  setTitle(tr("Step One"));

  path_ = NewReadOnlyWhiteField("imagePath");
  auto* select = new QPushButton(tr("Select image ..."));
  select->setObjectName(QStringLiteral("selectImage"));
  connect(select, &QPushButton::clicked, this, &CWizardPhotoPage::OnSelectImage);

  auto* group = new QGroupBox(tr("Select a source image"));
  auto* intro = new QLabel(
      tr("The first step is to select an image which you wish to make into a photomosaic:"));
  intro->setWordWrap(true);
  auto* choose = new QHBoxLayout;
  choose->addStretch(1);
  choose->addWidget(select);
  auto* inGroup = new QVBoxLayout(group);
  inGroup->addWidget(intro);
  inGroup->addWidget(path_);
  inGroup->addLayout(choose);
  inGroup->addWidget(new QLabel(tr("The image can be a JPEG, BMP, PNG, TIFF, WebP or HEIF file")));
  inGroup->addStretch(1);

  frame_ = new CWizardPicture(CWizardPicture::Fit::kInside);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(group, 1);
  layout->addWidget(frame_, 0, Qt::AlignTop);
}

void CWizardPhotoPage::SetImagePath(const std::string& path) {
  path_->setText(QString::fromStdString(path));
}

std::string CWizardPhotoPage::ImagePath() const {
  return path_->text().toStdString();
}

void CWizardPhotoPage::initializePage() {
  // Only the first visit reads the handed-in photograph; a later one keeps
  // whatever the user chose since.
  if (handedPathLoaded_) return;
  handedPathLoaded_ = true;
  if (!path_->text().isEmpty()) LoadImage(ImagePath());
}

bool CWizardPhotoPage::validatePage() {
  if (preview_) return true;
  ShowMessage(tr("You cannot proceed to the next step until you specify an image").toStdString(),
              MessageStyle::kStop);
  return false;
}

void CWizardPhotoPage::OnSelectImage() {
  const std::optional<std::string> path =
      Shell::Instance().FileDialog(FileDialogMode::kOpen, "jpg", PhotoFileTypes());
  if (path) LoadImage(*path);
}

void CWizardPhotoPage::LoadImage(const std::string& path) {
  if (!CanOpenForReading(path)) {
    ShowMessage(tr("Unable open file, it may have been moved or deleted").toStdString());
    return;
  }
  if (!CheckPhotoFileName(path)) return;

  frame_->SetPicture(nullptr);
  preview_.reset();
  auto image = std::make_unique<CDrawDibBmp>();
  try {
    CPhotographDecoder().DecodeFile(path, *image, 32);
  } catch (const std::exception&) {  // CTextException, or no memory for the pixels
    ShowMessage(tr("Unable to read file, it may not contain a valid image").toStdString(),
                MessageStyle::kExclamation);
    return;
  }
  preview_ = std::move(image);
  path_->setText(QString::fromStdString(path));
  frame_->SetPicture(preview_.get());
}

}  // namespace tesselor
