// CWizardPageFour, the wizard's last page and its step three: the tile size,
// with a sample mosaic at that size, and the tile library.
#pragma once

#include <QWizardPage>
#include <array>
#include <memory>

#include "imagelib/draw_dib_bmp.h"

class QComboBox;
class QLineEdit;

namespace tesselor {

class CWizardPicture;

class CWizardPageFour : public QWizardPage {
  Q_OBJECT

 public:
  explicit CWizardPageFour(QWidget* parent = nullptr);

  // Position in the tile size list, 0 ("64 x 64") to 6 ("8 x 8").
  int TileSizePosition() const;
  const CBmp* ShownPicture() const;

 private:
  void OnChangeLibrary();

  std::array<std::unique_ptr<CDrawDibBmp>, 7> pictures_;
  QComboBox* tileSize_ = nullptr;
  QLineEdit* library_ = nullptr;
  CWizardPicture* frame_ = nullptr;
};

}  // namespace tesselor
