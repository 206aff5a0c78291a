// The "Photomosaic options" dialog: edits the document's mosaic settings in
// place before a build, on four tab pages beside the options summary panel.
#pragma once

#include <QDialog>

#include "engine/mosaic_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace tesselor {

class CTesselorDoc;
class COptionsSummary;
class TileUseRecord;
struct OptionsSummaryValues;

class COptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // settings.sourceWidth and sourceHeight must hold the photograph's size.
  // The dialog writes its values back when it closes, after OK and Cancel
  // alike: Cancel only keeps the caller from building.
  // photosLeftOut: the tile files the tile cap kept out of the last build.
  // lastMosaic, when given, is the record of the mosaic shown now, which the
  // summary reports.
  explicit COptionsDialog(MosaicSettings& settings, QWidget* parent = nullptr,
                          int photosLeftOut = 0, const TileUseRecord* lastMosaic = nullptr);

  void done(int result) override;

  OptionsSummaryValues SummaryValues() const;

  // Runs the dialog over parent on the document's settings; true for OK.
  static bool Run(CTesselorDoc& doc, QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildMosaicSizePage();
  QWidget* BuildMontagePage();
  QWidget* BuildTilePage();
  QWidget* BuildVarietyPage();
  void ShowInitialValues();
  void ConnectChangeHandlers();

  void OnMagnificationChanged(int position);
  // A typed width or height sets the magnification; typed is the edit left.
  void OnSizeTyped(QLineEdit* typed);
  void CommitTypedSize(QLineEdit* edit);
  void ShowMosaicSize();
  void OnSelectLibrary();
  void TakeValues();
  void Redraw();

  MosaicSettings& settings_;
  QTabWidget* tabs_ = nullptr;
  QSpinBox* magnification_ = nullptr;
  QLineEdit* xSize_ = nullptr;
  QLineEdit* ySize_ = nullptr;
  QComboBox* accuracy_ = nullptr;
  QComboBox* randomization_ = nullptr;
  QSpinBox* colourAdjust_ = nullptr;
  QSpinBox* blendPercent_ = nullptr;
  QComboBox* tileSize_ = nullptr;
  QCheckBox* mirrorTiles_ = nullptr;
  QCheckBox* randomPlacement_ = nullptr;
  QCheckBox* allTiles_ = nullptr;
  QCheckBox* useTileCache_ = nullptr;
  QSpinBox* minDistance_ = nullptr;
  QSpinBox* maxUses_ = nullptr;
  QComboBox* metric_ = nullptr;
  COptionsSummary* summary_ = nullptr;
  int photosLeftOut_;
  const TileUseRecord* lastMosaic_;
};

// The magnification for a typed mosaic width or height: sizes below the
// photograph's count as the photograph's, and the result always gives back
// the typed size when multiplied out and truncated.
double MagnificationForTypedSize(const QString& text, int sourceSize);

// "%d" of the truncated product, for any magnification the dialog can hold.
QString MosaicSizeText(int sourceSize, double magnification);

}  // namespace tesselor
