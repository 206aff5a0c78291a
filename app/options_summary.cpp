#include "app/options_summary.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace tesselor {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kDarkRed(150, 0, 0);
const QColor kBlue(0, 0, 230);
const QColor kGreen(0, 100, 0);

// Labels start at these offsets from the panel's left; values line up at
// kValueColumn.
constexpr int kHeadingColumn = 10;
constexpr int kLabelColumn = 20;
constexpr int kValueColumn = 140;
constexpr int kLineStep = 14;
// How wide a heading may be and still leave a gap before the value column.
constexpr int kHeadingRoom = kValueColumn - kHeadingColumn - 8;

QString Percent(int value) {
  return QString::number(value) + QLatin1Char('%');
}

}  // namespace

std::vector<SummaryText> LayOutOptionsSummary(const OptionsSummaryValues& values) {
  std::vector<SummaryText> lines;
  const auto add = [&lines](const QString& text, bool bold, const QColor& colour, int x, int y) {
    lines.push_back(SummaryText{text, bold, colour, QPoint(x, y)});
  };

  add(COptionsSummary::tr("Mosaic Dimensions:"), true, kBlack, kHeadingColumn, 12);
  // A typed size can be too wide for the value column: it then takes a line
  // of its own under the heading, and everything below moves down a line.
  const QString dimensions = QStringLiteral("(") + values.xSize + QStringLiteral(" , ") +
                             values.ySize + QStringLiteral(")");
  const int dimensionsWidth = QFontMetrics(SummaryFont(true)).horizontalAdvance(dimensions);
  const bool dimensionsFit = kValueColumn + dimensionsWidth < COptionsSummary::kWidth - 1;
  const int below = dimensionsFit ? 0 : kLineStep;
  add(dimensions, true, kDarkRed, dimensionsFit ? kValueColumn : kLabelColumn, 12 + below);
  add(COptionsSummary::tr("Tile Library:"), true, kBlack, kHeadingColumn, 33 + below);
  add(values.library, true, kBlue, kLabelColumn, 54 + below);
  add(COptionsSummary::tr("Tile Size:"), false, kBlack, kLabelColumn, 68 + below);
  add(values.tileSize, false, kDarkRed, kValueColumn, 68 + below);

  // Each optional tile line takes the next line and pushes the rest down.
  int y = 82 + below;
  if (values.mirrorTiles) {
    add(COptionsSummary::tr("Mirroring of tiles is enabled"), false, kGreen, kLabelColumn, y);
    y += kLineStep;
  }
  if (values.randomPlacement) {
    add(COptionsSummary::tr("Random tile placement mosaic"), false, kGreen, kLabelColumn, y);
    y += kLineStep;
  }
  if (values.allTiles) {
    add(COptionsSummary::tr("Every tile of the library is used"), false, kGreen, kLabelColumn, y);
    y += kLineStep;
  } else if (values.photosLeftOut > 0) {
    const QString leftOut = values.photosLeftOut == 1
                                ? COptionsSummary::tr("1 photo left out by the tile limit")
                                : COptionsSummary::tr("%1 photos left out by the tile limit")
                                      .arg(values.photosLeftOut);
    add(leftOut, false, kDarkRed, kLabelColumn, y);
    y += kLineStep;
  }
  // Said only when off: every tile file is then decoded, which is slower.
  if (!values.useTileCache) {
    add(COptionsSummary::tr("Tile cache is off"), false, kDarkRed, kLabelColumn, y);
    y += kLineStep;
  }

  add(COptionsSummary::tr("Mosaic Options:"), true, kBlack, kHeadingColumn, y + 7);
  add(COptionsSummary::tr("Tiling Accuracy:"), false, kBlack, kLabelColumn, y + 28);
  add(values.accuracy, false, kDarkRed, kValueColumn, y + 28);
  add(COptionsSummary::tr("Randomization:"), false, kBlack, kLabelColumn, y + 42);
  add(values.randomization, false, kDarkRed, kValueColumn, y + 42);

  int optionalY = y + 56;
  if (values.colourAdjust > 0) {
    add(COptionsSummary::tr("Colour Adjustment:"), false, kBlack, kLabelColumn, optionalY);
    add(Percent(values.colourAdjust), false, kDarkRed, kValueColumn, optionalY);
    optionalY += kLineStep;
  }
  const auto addValue = [&](const QString& label, const QString& value) {
    add(label, false, kBlack, kLabelColumn, optionalY);
    add(value, false, kDarkRed, kValueColumn, optionalY);
    optionalY += kLineStep;
  };
  if (values.blendPercent > 0)
    addValue(COptionsSummary::tr("Blend Image:"), Percent(values.blendPercent));
  if (values.minDistance > 0)
    addValue(COptionsSummary::tr("Minimum Distance:"),
             COptionsSummary::tr("%1 cells").arg(values.minDistance));
  if (values.maxUses > 0)
    addValue(COptionsSummary::tr("Maximum Uses:"), QString::number(values.maxUses));
  if (!values.metric.isEmpty()) addValue(COptionsSummary::tr("Colour Metric:"), values.metric);

  if (const auto& last = values.lastMosaic) {
    add(COptionsSummary::tr("Last Mosaic:"), true, kBlack, kHeadingColumn, optionalY + 7);
    optionalY += 28;
    addValue(COptionsSummary::tr("Photos Used:"), QString::number(last->distinctPhotos));
    if (last->mostUsedCount > 0) {
      addValue(COptionsSummary::tr("Most Used:"),
               COptionsSummary::tr("%1 times").arg(last->mostUsedCount));
      add(last->mostUsedPhoto, false, kBlue, kLabelColumn + 10, optionalY);
      optionalY += kLineStep;
    }
    if (last->rulesBroken > 0)
      addValue(COptionsSummary::tr("Rules Broken:"),
               COptionsSummary::tr("%1 cells").arg(last->rulesBroken));
  }
  return lines;
}

QFont SummaryFont(bool bold) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  // The panel's layout was made for a narrow face 15 pixels high: lines 14
  // pixels apart, values 130 pixels after the headings. A larger face is
  // shrunk until its line fits that height, then narrowed until the widest
  // heading ends before its value.
  int pixelSize = 15;
  font.setPixelSize(pixelSize);
  while (pixelSize > 8 && QFontMetrics(font).height() > 15) font.setPixelSize(--pixelSize);
  font.setBold(true);
  const int widest =
      QFontMetrics(font).horizontalAdvance(COptionsSummary::tr("Mosaic Dimensions:"));
  if (widest > kHeadingRoom) font.setStretch(std::max(50, 100 * kHeadingRoom / widest));
  font.setBold(bold);
  return font;
}

COptionsSummary::COptionsSummary(std::function<OptionsSummaryValues()> values, QWidget* parent)
    : QWidget(parent), values_(std::move(values)) {
  setFixedSize(kWidth, kHeight);
}

void COptionsSummary::Refresh() {
  int bottom = kHeight;
  for (const SummaryText& line : Lines())
    bottom = std::max(bottom, line.position.y() + kLineStep + kHeadingColumn);
  setFixedHeight(bottom);
  update();
}

void COptionsSummary::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect panel = rect();
  painter.fillRect(panel, Qt::white);
  painter.setPen(kBlack);
  painter.drawRect(panel.adjusted(0, 0, -1, -1));

  const QFont normal = SummaryFont(false);
  const QFont bold = SummaryFont(true);
  for (const SummaryText& line : Lines()) {
    painter.setFont(line.bold ? bold : normal);
    painter.setPen(line.colour);
    // Positions name the top-left of the text, not its baseline.
    // Text too long for the panel (a long photo name) stops at its border.
    const QRect box(line.position, QSize(panel.width() - 1 - line.position.x(), kLineStep + 1));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line.text);
  }
}

}  // namespace tesselor
