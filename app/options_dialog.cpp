#include "app/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "app/current_library_name.h"
#include "app/help_launcher.h"
#include "app/options_summary.h"
#include "app/run_modal.h"
#include "engine/tesselor_doc.h"
#include "engine/tile_set.h"
#include "platform/shell.h"

namespace tesselor {

namespace {

// A photo placed more often than this would be the whole mosaic anyway.
constexpr int kMaxRepetitionLimit = 9999;
// The colour metrics by ColourMetric value.
constexpr std::array<const char*, 2> kMetricTexts = {"RGB", "CIELAB (as the eye sees)"};

// The list position holding value, or -1 so that the list shows no selection.
template <typename Choices>
int PositionOf(const Choices& choices, int value) {
  for (size_t i = 0; i < choices.size(); ++i)
    if (choices[i] == value) return static_cast<int>(i);
  return -1;
}

template <typename Texts>
QComboBox* NewList(const Texts& texts, const char* name) {
  auto* list = new QComboBox;
  list->setObjectName(QLatin1String(name));
  // The choice texts live in the core, which knows no Qt; they are
  // translated here, where they are shown.
  for (const char* text : texts) list->addItem(COptionsDialog::tr(text));
  return list;
}

QSpinBox* NewSpinner(int low, int high, const char* name) {
  auto* spinner = new QSpinBox;
  spinner->setObjectName(QLatin1String(name));
  spinner->setRange(low, high);
  return spinner;
}

QLineEdit* NewSizeEdit(const char* name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QLatin1String(name));
  edit->setAlignment(Qt::AlignRight);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  return edit;
}

// A check box whose text stands to the left of its box.
QCheckBox* NewLeftTextCheckBox(const QString& text, const char* name) {
  auto* box = new QCheckBox(text);
  box->setObjectName(QLatin1String(name));
  box->setLayoutDirection(Qt::RightToLeft);
  return box;
}

// The leading decimal digits of text (0 when there are none), held at
// INT_MAX so a long string of digits cannot overflow.
int LeadingNumber(const QString& text) {
  long long value = 0;
  for (const QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
    value = std::min<long long>(value * 10 + (c.unicode() - '0'), INT_MAX);
  }
  return static_cast<int>(value);
}

}  // namespace

double MagnificationForTypedSize(const QString& text, int sourceSize) {
  if (sourceSize <= 0) return 1.0;
  const int wanted = std::max(LeadingNumber(text), sourceSize);
  double magnification = static_cast<double>(wanted) / sourceSize;
  // The quotient can come out a hair below the true ratio, so that the size
  // multiplied back out truncates to one pixel less than was typed.
  while (std::trunc(sourceSize * magnification) < wanted)
    magnification = std::nextafter(magnification, HUGE_VAL);
  return magnification;
}

QString MosaicSizeText(int sourceSize, double magnification) {
  return QString::number(static_cast<qint64>(std::trunc(sourceSize * magnification)));
}

COptionsDialog::COptionsDialog(MosaicSettings& settings, QWidget* parent, int photosLeftOut,
                               const TileUseRecord* lastMosaic)
    : QDialog(parent), settings_(settings), photosLeftOut_(photosLeftOut), lastMosaic_(lastMosaic) {
  setWindowTitle(tr("Photomosaic options"));

  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("tabs"));
  tabs_->setUsesScrollButtons(false);  // all four tabs in view, always
  tabs_->addTab(BuildMosaicSizePage(), tr("Mosaic Size"));
  tabs_->addTab(BuildMontagePage(), tr("Montage options"));
  tabs_->addTab(BuildTilePage(), tr("Tile options"));
  tabs_->addTab(BuildVarietyPage(), tr("Variety"));

  summary_ = new COptionsSummary([this] { return SummaryValues(); });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* right = new QVBoxLayout;
  right->addWidget(tabs_, 1);
  right->addWidget(buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(summary_, 0, Qt::AlignTop);
  layout->addLayout(right, 1);

  InstallHelpKey(this, HelpTopic::kMontageOptions);

  // The values go in before the handlers are connected, so showing them does
  // not count as the user changing them.
  ShowInitialValues();
  ConnectChangeHandlers();
  summary_->Refresh();
}

QWidget* COptionsDialog::BuildMosaicSizePage() {
  magnification_ = NewSpinner(1, kMaxWholeMagnification, "magnification");
  xSize_ = NewSizeEdit("xSize");
  ySize_ = NewSizeEdit("ySize");
  xSize_->installEventFilter(this);
  ySize_->installEventFilter(this);

  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  form->addRow(tr("Magnification :"), magnification_);
  form->addRow(tr("X Size :"), xSize_);
  form->addRow(tr("Y Size :"), ySize_);
  return page;
}

QWidget* COptionsDialog::BuildMontagePage() {
  accuracy_ = NewList(kAccuracyTexts, "accuracy");
  randomization_ = NewList(kRandomizationTexts, "randomization");
  colourAdjust_ = NewSpinner(0, 100, "colourAdjust");
  blendPercent_ = NewSpinner(0, 100, "blendPercent");

  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  form->addRow(tr("Tiling accuracy :"), accuracy_);
  form->addRow(tr("Randomization :"), randomization_);
  form->addRow(tr("Color adjust %age :"), colourAdjust_);
  form->addRow(tr("Blend original %age:"), blendPercent_);
  return page;
}

QWidget* COptionsDialog::BuildTilePage() {
  tileSize_ = NewList(kTileSizeTexts, "tileSize");
  auto* selectLibrary = new QPushButton(tr("Select Library ..."));
  selectLibrary->setObjectName(QStringLiteral("selectLibrary"));
  selectLibrary->setAutoDefault(false);
  connect(selectLibrary, &QPushButton::clicked, this, &COptionsDialog::OnSelectLibrary);
  mirrorTiles_ = NewLeftTextCheckBox(tr("Use mirror images of tiles"), "mirrorTiles");
  randomPlacement_ = NewLeftTextCheckBox(tr("Random placement mosaic"), "randomPlacement");
  allTiles_ = NewLeftTextCheckBox(
      tr("Use every tile (more than %1 is slower)").arg(kTileSetCapacity), "allTiles");
  useTileCache_ = NewLeftTextCheckBox(tr("Keep reduced tiles in the cache (faster next builds)"),
                                      "useTileCache");

  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  form->addRow(tr("Tile dimensions :"), tileSize_);
  form->addRow(selectLibrary);
  form->addRow(mirrorTiles_);
  form->addRow(randomPlacement_);
  form->addRow(allTiles_);
  form->addRow(useTileCache_);
  return page;
}

QWidget* COptionsDialog::BuildVarietyPage() {
  minDistance_ = NewSpinner(0, kMaxMinDistance, "minDistance");
  minDistance_->setSpecialValueText(tr("Off"));
  minDistance_->setSuffix(tr(" cells"));
  maxUses_ = NewSpinner(0, kMaxRepetitionLimit, "maxUses");
  maxUses_->setSpecialValueText(tr("Off"));
  metric_ = NewList(kMetricTexts, "metric");
  auto* note = new QLabel(
      tr("No photo appears twice within the minimum distance of itself, nor more often than the "
         "maximum uses. Where the library has too few photos, the tile that breaks these "
         "least goes in."));
  note->setWordWrap(true);

  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  form->addRow(tr("Minimum distance :"), minDistance_);
  form->addRow(tr("Maximum uses :"), maxUses_);
  form->addRow(tr("Colour metric :"), metric_);
  form->addRow(note);
  return page;
}

void COptionsDialog::ShowInitialValues() {
  magnification_->setValue(static_cast<int>(settings_.magnification));
  colourAdjust_->setValue(settings_.colourAdjust);
  blendPercent_->setValue(settings_.blendPercent);
  tileSize_->setCurrentIndex(PositionOf(kTileSizeChoices, settings_.tileSize));
  accuracy_->setCurrentIndex(settings_.accuracyLevel >= 0 &&
                                     settings_.accuracyLevel <
                                         static_cast<int>(kAccuracyTexts.size())
                                 ? settings_.accuracyLevel
                                 : -1);
  randomization_->setCurrentIndex(PositionOf(kRandomizationChoices, settings_.randomization));
  ShowMosaicSize();
  mirrorTiles_->setChecked(settings_.mirrorTiles);
  randomPlacement_->setChecked(settings_.randomPlacement);
  allTiles_->setChecked(settings_.allTiles);
  useTileCache_->setChecked(settings_.useTileCache);
  minDistance_->setValue(settings_.variety.minDistance);
  maxUses_->setValue(settings_.variety.maxUses);
  metric_->setCurrentIndex(static_cast<int>(settings_.variety.metric));
}

void COptionsDialog::ConnectChangeHandlers() {
  connect(magnification_, &QSpinBox::valueChanged, this, &COptionsDialog::OnMagnificationChanged);
  for (QComboBox* list : {accuracy_, randomization_, tileSize_, metric_})
    connect(list, &QComboBox::currentIndexChanged, this, &COptionsDialog::Redraw);
  for (QSpinBox* spinner : {colourAdjust_, blendPercent_, minDistance_, maxUses_})
    connect(spinner, &QSpinBox::valueChanged, this, &COptionsDialog::Redraw);
  for (QCheckBox* box : {mirrorTiles_, randomPlacement_, allTiles_, useTileCache_})
    connect(box, &QCheckBox::toggled, this, &COptionsDialog::Redraw);
}

void COptionsDialog::OnMagnificationChanged(int position) {
  settings_.magnification = position;
  ShowMosaicSize();
  Redraw();
}

void COptionsDialog::OnSizeTyped(QLineEdit* typed) {
  const bool width = typed == xSize_;
  settings_.magnification = MagnificationForTypedSize(
      typed->text(), width ? settings_.sourceWidth : settings_.sourceHeight);
  // The spinner keeps its whole number: the typed size may lie between two.
  ShowMosaicSize();
  Redraw();
}

void COptionsDialog::ShowMosaicSize() {
  xSize_->setText(MosaicSizeText(settings_.sourceWidth, settings_.magnification));
  ySize_->setText(MosaicSizeText(settings_.sourceHeight, settings_.magnification));
}

bool COptionsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && (watched == xSize_ || watched == ySize_))
    CommitTypedSize(static_cast<QLineEdit*>(watched));
  return QDialog::eventFilter(watched, event);
}

void COptionsDialog::CommitTypedSize(QLineEdit* edit) {
  // Only a size the user typed counts: merely passing through a field must
  // not replace a magnification set from the other field by this field's
  // rounded size.
  if (edit->isModified()) OnSizeTyped(edit);
}

void COptionsDialog::OnSelectLibrary() {
  Shell::Instance().RunLibraryChooser();
  Redraw();
}

OptionsSummaryValues COptionsDialog::SummaryValues() const {
  OptionsSummaryValues values;
  values.xSize = xSize_->text();
  values.ySize = ySize_->text();
  values.library = CurrentLibraryName();
  values.tileSize = tileSize_->currentText();
  values.mirrorTiles = mirrorTiles_->isChecked();
  values.randomPlacement = randomPlacement_->isChecked();
  values.allTiles = allTiles_->isChecked();
  values.useTileCache = useTileCache_->isChecked();
  values.photosLeftOut = photosLeftOut_;
  values.accuracy = accuracy_->currentText();
  values.randomization = randomization_->currentText();
  values.colourAdjust = colourAdjust_->value();
  values.blendPercent = blendPercent_->value();
  values.minDistance = minDistance_->value();
  values.maxUses = maxUses_->value();
  if (metric_->currentIndex() == static_cast<int>(ColourMetric::kLab)) values.metric = tr("CIELAB");
  if (lastMosaic_) {
    const TileUseRecord::Summary summary = lastMosaic_->Summarise();
    auto& last = values.lastMosaic.emplace();
    last.distinctPhotos = summary.distinctPhotos;
    last.mostUsedCount = summary.mostUsedCount;
    if (summary.mostUsedPhoto >= 0)
      last.mostUsedPhoto = QString::fromStdString(lastMosaic_->PhotoName(summary.mostUsedPhoto));
    last.rulesBroken = lastMosaic_->RulesBroken();
  }
  return values;
}

bool COptionsDialog::Run(CTesselorDoc& doc, QWidget* parent) {
  return RunModal(new COptionsDialog(doc.settings, parent, doc.PhotosLeftOut(),
                                     doc.MosaicBuilt() ? &doc.TilesUsed() : nullptr));
}

void COptionsDialog::Redraw() {
  summary_->Refresh();
}

void COptionsDialog::done(int result) {
  // Enter in a size field closes the dialog before the field loses the
  // focus; the size typed there still counts.
  if (QWidget* focus = focusWidget(); focus == xSize_ || focus == ySize_)
    CommitTypedSize(static_cast<QLineEdit*>(focus));
  TakeValues();
  QDialog::done(result);
}

void COptionsDialog::TakeValues() {
  settings_.colourAdjust = colourAdjust_->value();
  settings_.blendPercent = blendPercent_->value();
  if (const int position = tileSize_->currentIndex(); position >= 0)
    settings_.tileSize = kTileSizeChoices[position];
  if (const int position = randomization_->currentIndex(); position >= 0)
    settings_.randomization = kRandomizationChoices[position];
  if (const int position = accuracy_->currentIndex(); position >= 0) {
    settings_.accuracyLevel = position;
    settings_.UpdateAccuracyStep();
  }
  settings_.mirrorTiles = mirrorTiles_->isChecked();
  settings_.randomPlacement = randomPlacement_->isChecked();
  settings_.allTiles = allTiles_->isChecked();
  settings_.useTileCache = useTileCache_->isChecked();
  settings_.variety.minDistance = minDistance_->value();
  settings_.variety.maxUses = maxUses_->value();
  settings_.variety.metric = static_cast<ColourMetric>(std::max(metric_->currentIndex(), 0));
}

}  // namespace tesselor
