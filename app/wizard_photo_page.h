// CWizardPhotoPage, the wizard's second page and its step one: choosing the
// photograph, with a preview of it.
#pragma once

#include <QWizardPage>
#include <memory>
#include <string>

#include "imagelib/draw_dib_bmp.h"

class QLineEdit;

namespace tesselor {

class CWizardPicture;

class CWizardPhotoPage : public QWizardPage {
  Q_OBJECT

 public:
  explicit CWizardPhotoPage(QWidget* parent = nullptr);

  // The photograph the document already holds, loaded when the page opens.
  void SetImagePath(const std::string& path);
  std::string ImagePath() const;
  const CBmp* Preview() const { return preview_.get(); }

  void initializePage() override;
  // Next only goes on once a photograph has been read.
  bool validatePage() override;

 private:
  void OnSelectImage();
  // Reads path as the preview, telling the user why when it cannot.
  void LoadImage(const std::string& path);

  QLineEdit* path_ = nullptr;
  CWizardPicture* frame_ = nullptr;
  std::unique_ptr<CDrawDibBmp> preview_;
  bool handedPathLoaded_ = false;
};

}  // namespace tesselor
