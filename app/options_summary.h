// The white panel of the options dialog that restates the current choices in
// words, so the user sees the whole mosaic set-up while only one tab shows.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

namespace tesselor {

// What the panel states, read from the dialog's controls as they stand.
struct OptionsSummaryValues {
  QString xSize;
  QString ySize;
  QString library;  // the library folder name without its trailing '/'
  QString tileSize;
  bool mirrorTiles = false;
  bool randomPlacement = false;
  bool allTiles = false;
  bool useTileCache = true;
  // Tile files the tile cap kept out of the last build; 0 when none were.
  int photosLeftOut = 0;
  QString accuracy;
  QString randomization;
  int colourAdjust = 0;
  int blendPercent = 0;
  int minDistance = 0;  // 0: off
  int maxUses = 0;      // 0: off
  QString metric;       // empty while the colours are compared as today, in RGB
  // How the current mosaic came out, so the next build's variety can be
  // judged against it; none before the first mosaic.
  struct LastMosaic {
    int distinctPhotos = 0;
    QString mostUsedPhoto;
    int mostUsedCount = 0;
    int rulesBroken = 0;  // cells where no tile kept the variety rules
  };
  std::optional<LastMosaic> lastMosaic;
};

// One line of text; position is its top-left corner from the panel's.
struct SummaryText {
  QString text;
  bool bold = false;
  QColor colour;
  QPoint position;
};

// The panel's texts in drawing order. The optional lines (mirroring, random
// placement, every tile or the photos the cap left out, the tile cache turned
// off, colour adjustment, blend, the variety choices, the last mosaic) shift
// the lines below them so the panel never shows gaps.
std::vector<SummaryText> LayOutOptionsSummary(const OptionsSummaryValues& values);

// The panel's face: the system sans-serif with a line height of at most 15
// pixels, since the lines are only 14 pixels apart.
QFont SummaryFont(bool bold);

class COptionsSummary : public QWidget {
  // So findChild and qobject_cast can tell it from other widgets.
  Q_OBJECT

 public:
  // The panel's size in pixels on screen; it grows taller when its lines
  // need more room.
  static constexpr int kWidth = 248;
  static constexpr int kHeight = 211;

  explicit COptionsSummary(std::function<OptionsSummaryValues()> values, QWidget* parent = nullptr);

  // The lines as the panel draws them now.
  std::vector<SummaryText> Lines() const { return LayOutOptionsSummary(values_()); }
  // Fits the height to the lines as they stand now and draws them again.
  void Refresh();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<OptionsSummaryValues()> values_;
};

}  // namespace tesselor
