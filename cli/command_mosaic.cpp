// tesselor-cli mosaic: builds a photomosaic of one photograph.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "cli/command_voice.h"
#include "cli/library_option.h"
#include "cli/print_size.h"
#include "engine/create_mosaic.h"
#include "engine/mosaic_bitmap.h"
#include "engine/mosaic_settings.h"
#include "engine/tile_set.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/photograph_decoder.h"
#include "imagelib/picture_file_writer.h"
#include "imagelib/picture_writer.h"
#include "imagelib/text_exception.h"
#include "library/legacy_upgrade.h"
#include "library/tile_operations.h"
#include "platform/app_paths.h"
#include "platform/console_shell.h"
#include "platform/directory_listing.h"
#include "platform/file_error.h"

namespace tesselor::cli {

namespace {

constexpr const char* kUsage =
    "Usage: tesselor-cli mosaic PHOTO -o OUT [OPTIONS]\n"
    "\n"
    "Rebuilds PHOTO as a grid of tiles from a tile library, each tile chosen because\n"
    "its colours match the part of the photograph it covers, and writes the mosaic\n"
    "to OUT: a JPEG file when OUT ends in .jpg or .jpeg, a Windows bitmap for .bmp,\n"
    "PNG for .png, deflate-compressed TIFF for .tif or .tiff (BigTIFF past 4 GB).\n"
    "PNG and TIFF mosaics are painted and written a band of lines at a time, so\n"
    "they may be far larger than memory.\n"
    "\n"
    "Settings (the defaults are the desktop program's):\n"
    "  --tile-size N        edge of a tile in pixels: 64, 48, 32, 24, 16, 12 or 8 (32)\n"
    "  --accuracy LEVEL     how closely tiles are compared with the photograph:\n"
    "                       high, medium or low (medium)\n"
    "  --randomization R    how many of the best tiles a cell may draw from: none,\n"
    "                       low, medium, high (1, 5, 10, 20) or a number 1 to 49 (low)\n"
    "  --colour-adjust P    how far a tile's colours may be pulled toward the\n"
    "                       photograph, 0 to 100 percent (20)\n"
    "  --blend P            share of the photograph mixed into every tile, 0 to 100\n"
    "                       percent (0)\n"
    "  --magnification M    mosaic size over photograph size, 1 or more (1)\n"
    "  --width W            wanted mosaic width; sets the magnification to W / photo\n"
    "                       width (a width below the photograph's counts as its own)\n"
    "  --height H           the same from a wanted height\n"
    "  --print-size WxHcm   the largest mosaic that prints within W x H centimetres\n"
    "  --print-size WxHin   (or inches) at --dpi, keeping the photograph's shape\n"
    "                       (never below the photograph's own size)\n"
    "  --dpi D              dots per inch of the print, 1 to 9600 (300)\n"
    "  --no-mirror          do not add a left-right mirror image of every tile\n"
    "  --random-placement   after the grid, place as many tiles again at random\n"
    "  --all-tiles          use every tile of the library; without it a build takes\n"
    "                       the first 10000 tiles (mirror images included) and says\n"
    "                       how many photos were left out\n"
    "  --no-cache           decode every tile file; without it the reduced tiles of\n"
    "                       each library and tile size are kept in\n"
    "                       $XDG_CACHE_HOME/tesselor (~/.cache/tesselor) for the\n"
    "                       next build, which decodes only the files changed since\n"
    "  --min-distance D     no photo twice within D cells of itself, counted as the\n"
    "                       larger of the column and row gaps, 1 to 50 (0: off)\n"
    "  --max-uses N         no photo placed more than N times (0: off)\n"
    "                       Where no tile keeps these two, the one that breaks them\n"
    "                       least goes in and the build says how many cells it took\n"
    "  --metric M           rgb, or lab for colour distances as the eye sees them\n"
    "                       (CIELAB Delta-E 1976) (rgb)\n"
    "  --wizard N           build as the wizard does, with tile size N: medium\n"
    "                       accuracy, randomization 30, colour adjust 45, blend 12,\n"
    "                       magnification 1, mirroring; only --random-placement may\n"
    "                       be added\n"
    "\n"
    "Other options:\n"
    "%s"
    "  -o, --output OUT     where the mosaic goes (required)\n"
    "  --tiles-used FILE    write every tile placed as CSV: x,y,width,height of the\n"
    "                       painted part, the tile's file name, 1 when mirrored\n"
    "  -h, --help           show this text\n"
    "\n"
    "A progress bar shows on stderr when it is a terminal. Ctrl-C stops the build\n"
    "between two cells: the partly built mosaic is still written to OUT, and the\n"
    "exit status is 1. Ctrl-C before the first cell (while the library loads)\n"
    "writes nothing and leaves OUT as it was; a second Ctrl-C ends at once.\n"
    "The same photograph, library and settings always give the same mosaic.\n"
    "Exit status: 0 mosaic written, 1 failed or stopped, 2 bad usage.\n";

constexpr int kDefaultDpi = 300;
constexpr const char* kMetricNames[] = {"rgb", "lab"};
constexpr long kMaxDpi = 9600;

struct Request {
  std::string photo;
  std::string output;
  MosaicSettings settings;
  std::optional<int> wizardTileSize;
  std::optional<int> wantedWidth;
  std::optional<int> wantedHeight;
  std::optional<PrintSize> printSize;
  std::optional<int> dpi;
  bool allTiles = false;
  bool useTileCache = true;
  VarietyOptions variety;
  std::string tilesUsedPath;
  bool settingGiven = false;  // any option the wizard's fixed values would override
  bool magnificationGiven = false;
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, kUsage, kLibraryOptionHelp);
}

constexpr CommandVoice kVoice{"mosaic", "lists the options"};

std::optional<long> ParseWhole(const std::string& text, long low, long high) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < low || value > high) return std::nullopt;
  return value;
}

std::optional<int> ParseTileSize(const std::string& text) {
  const std::optional<long> size = ParseWhole(text, 1, 64);
  if (!size) return std::nullopt;
  for (const int choice : kTileSizeChoices)
    if (choice == *size) return choice;
  return std::nullopt;
}

std::optional<int> ParseChoice(const std::string& text, const char* const* names, int count) {
  const std::string lower = ToLowerAscii(text);
  for (int i = 0; i < count; ++i)
    if (lower == ToLowerAscii(names[i])) return i;
  return std::nullopt;
}

std::optional<int> ParseRandomization(const std::string& text) {
  if (const std::optional<int> position = ParseChoice(text, kRandomizationTexts.data(),
                                                      static_cast<int>(kRandomizationTexts.size())))
    return kRandomizationChoices[static_cast<size_t>(*position)];
  // Picks reach no further than the 50 best tiles of a cell.
  if (const std::optional<long> number = ParseWhole(text, 1, 49)) return static_cast<int>(*number);
  return std::nullopt;
}

std::optional<double> ParseMagnification(const std::string& text) {
  char* end = nullptr;
  const double magnification = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(magnification >= 1.0 && magnification <= 1000.0))
    return std::nullopt;
  return magnification;
}

enum class Taken { kDone, kInvalid, kUnknown };

// Stores a parsed value in field, or says that the value did not parse.
template <class Value, class Field>
Taken Store(const std::optional<Value>& parsed, Field& field) {
  if (!parsed) return Taken::kInvalid;
  field = static_cast<Field>(*parsed);
  return Taken::kDone;
}

// One of the options that set a mosaic setting directly.
Taken TakeSetting(const std::string& option, const std::string& value, MosaicSettings& settings) {
  if (option == "--tile-size") return Store(ParseTileSize(value), settings.tileSize);
  if (option == "--accuracy")
    return Store(ParseChoice(value, kAccuracyTexts.data(), static_cast<int>(kAccuracyTexts.size())),
                 settings.accuracyLevel);
  if (option == "--randomization") return Store(ParseRandomization(value), settings.randomization);
  if (option == "--colour-adjust" || option == "--color-adjust")
    return Store(ParseWhole(value, 0, 100), settings.colourAdjust);
  if (option == "--blend") return Store(ParseWhole(value, 0, 100), settings.blendPercent);
  if (option == "--magnification") return Store(ParseMagnification(value), settings.magnification);
  return Taken::kUnknown;
}

// One option that takes a value.
Taken TakeValue(const std::string& option, const std::string& value, Request& request) {
  if (option == "-o" || option == "--output") {
    request.output = value;
    return Taken::kDone;
  }
  if (option == "--library") return SelectLibrary(value) ? Taken::kDone : Taken::kInvalid;
  if (option == "--wizard") return Store(ParseTileSize(value), request.wizardTileSize);
  if (option == "--tiles-used") {
    request.tilesUsedPath = value;
    return Taken::kDone;
  }
  if (option == "--min-distance")
    return Store(ParseWhole(value, 0, kMaxMinDistance), request.variety.minDistance);
  if (option == "--max-uses")
    return Store(ParseWhole(value, 0, kMaxBitmapDimension), request.variety.maxUses);
  if (option == "--metric") {
    const std::optional<int> metric = ParseChoice(value, kMetricNames, 2);
    if (!metric) return Taken::kInvalid;
    request.variety.metric = static_cast<ColourMetric>(*metric);
    return Taken::kDone;
  }
  // Everything else is a setting the wizard's fixed values would override.
  request.settingGiven = true;
  if (option == "--magnification") request.magnificationGiven = true;
  if (option == "--print-size") return Store(ParsePrintSize(value), request.printSize);
  if (option == "--dpi") return Store(ParseWhole(value, 1, kMaxDpi), request.dpi);
  if (option == "--width")
    return Store(ParseWhole(value, 1, kMaxBitmapDimension), request.wantedWidth);
  if (option == "--height")
    return Store(ParseWhole(value, 1, kMaxBitmapDimension), request.wantedHeight);
  return TakeSetting(option, value, request.settings);
}

// The rules between options, once all are read.
std::optional<int> CheckRequest(const Request& request) {
  if (request.photo.empty()) return kVoice.UsageError("no photograph given");
  if (request.output.empty()) return kVoice.UsageError("no output file given (-o OUT)");
  if (request.wizardTileSize && request.settingGiven)
    return kVoice.UsageError(
        "--wizard takes its own settings; only --random-placement may be added");
  if (int{request.magnificationGiven} + int{request.wantedWidth.has_value()} +
          int{request.wantedHeight.has_value()} + int{request.printSize.has_value()} >
      1)
    return kVoice.UsageError(
        "give only one of --magnification, --width, --height and --print-size");
  if (request.dpi && !request.printSize) return kVoice.UsageError("--dpi goes with --print-size");
  if (request.printSize) {
    const int dpi = request.dpi.value_or(kDefaultDpi);
    const PixelSize pixels = PixelsFor(*request.printSize, dpi);
    if (pixels.width > kMaxBitmapDimension || pixels.height > kMaxBitmapDimension)
      return kVoice.UsageError("that print size is " + std::to_string(pixels.width) + " x " +
                               std::to_string(pixels.height) + " pixels at " + std::to_string(dpi) +
                               " dpi; a mosaic has at most " + std::to_string(kMaxBitmapDimension) +
                               " pixels a side");
  }
  if (!PictureTypeOfFile(request.output))
    return kVoice.UsageError("OUT must end in .jpg, .jpeg, .bmp, .png, .tif or .tiff");
  return std::nullopt;
}

// Reads the words into request; an exit code when there is nothing to build.
std::optional<int> Parse(const Arguments& args, Request& request) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      PrintUsage(stdout);
      return kExitDone;
    }
    if (arg == "--no-mirror") {
      request.settings.mirrorTiles = false;
      request.settingGiven = true;
    } else if (arg == "--random-placement") {
      request.settings.randomPlacement = true;
    } else if (arg == "--all-tiles") {
      request.allTiles = true;
    } else if (arg == "--no-cache") {
      request.useTileCache = false;
    } else if (arg.empty() || arg[0] != '-') {
      if (!request.photo.empty())
        return kVoice.UsageError("more than one photograph: '" + arg + "'");
      request.photo = arg;
    } else if (i + 1 >= args.size()) {
      return kVoice.UsageError(arg + " needs a value");
    } else {
      const std::string& value = args[++i];
      const Taken taken = TakeValue(arg, value, request);
      if (taken == Taken::kInvalid)
        return kVoice.UsageError("invalid value '" + value + "' for " + arg);
      if (taken == Taken::kUnknown) return kVoice.UsageError("unknown option " + arg);
    }
  }
  return CheckRequest(request);
}

// A wanted size below the photograph's counts as the photograph's own.
double MagnificationFor(int64_t wanted, int sourceSize) {
  return MagnificationReaching(std::max<int64_t>(wanted, sourceSize), sourceSize);
}

BuildOptions OptionsFor(Request& request, const CBmp& source) {
  if (request.wizardTileSize)
    return WizardBuildOptions(*request.wizardTileSize, request.settings.randomPlacement);
  MosaicSettings& settings = request.settings;
  settings.sourceWidth = source.width;
  settings.sourceHeight = source.height;
  if (request.wantedWidth)
    settings.magnification = MagnificationFor(*request.wantedWidth, source.width);
  if (request.wantedHeight)
    settings.magnification = MagnificationFor(*request.wantedHeight, source.height);
  if (request.printSize) {
    // The side that reaches its edge of the print first decides.
    const PixelSize pixels = PixelsFor(*request.printSize, request.dpi.value_or(kDefaultDpi));
    settings.magnification = std::min(MagnificationFor(pixels.width, source.width),
                                      MagnificationFor(pixels.height, source.height));
  }
  settings.UpdateAccuracyStep();
  return settings.ToBuildOptions();
}

// Why a mosaic of the photograph times magnification can never be had, or
// nothing when it may be: a size beyond what any picture may be is not a
// want of memory. A streamed mosaic is bound by its sides alone.
std::optional<std::string> MosaicSizeRefusal(const CBmp& source, double magnification,
                                             bool streamed) {
  const double width = source.width * magnification;
  const double height = source.height * magnification;
  char size[64];
  std::snprintf(size, sizeof size, "a mosaic of %.0f x %.0f pixels", std::floor(width),
                std::floor(height));
  if (!WithinBitmapSides(width, height))
    return std::string(size) + " is larger than a picture may be (" +
           std::to_string(kMaxBitmapDimension) +
           " pixels a side); try selecting a lower magnification.";
  if (!streamed && !WithinBitmapLimits(width, height, 32))
    return std::string(size) +
           " is larger than a picture held in memory may be (4 GB); a .png or .tif mosaic is "
           "written a band at a time, or try selecting a lower magnification.";
  return std::nullopt;
}

int WriteMosaic(const CDrawDibBmp& mosaic, const std::string& path) {
  try {
    WritePicture(mosaic, path, *PictureTypeOfFile(path));
  } catch (const CTextException& error) {
    return kVoice.Failure("cannot write " + path + ": " + OneLine(error.GetText()));
  } catch (const FileError& error) {
    return kVoice.Failure("cannot write " + error.Path() + ": " + error.Cause());
  }
  return kExitDone;
}

// How varied the mosaic came out, and where the rules had to give way.
void PrintTileUseSummary(const TileUseRecord& record) {
  if (const std::string summary = record.SummaryLine(); !summary.empty())
    std::printf("%s\n", summary.c_str());
  if (const std::string broken = record.RulesBrokenLine(); !broken.empty())
    std::fprintf(stderr, "tesselor-cli mosaic: %s: the library has too few photos for them\n",
                 broken.c_str());
}

}  // namespace

int RunMosaic(const Arguments& args) {
  Request request;
  if (const std::optional<int> exitCode = Parse(args, request)) return *exitCode;

  CDrawDibBmp source;
  try {
    CPhotographDecoder().DecodeFile(request.photo, source, 32);
  } catch (const CTextException& error) {
    return kVoice.Failure("cannot read " + request.photo + ": " + OneLine(error.GetText()));
  }
  BuildOptions options = OptionsFor(request, source);
  options.allTiles = request.allTiles;
  options.useTileCache = request.useTileCache;
  options.variety = request.variety;

  // PNG and TIFF mosaics are streamed to the file and need no bitmap.
  const bool streamed = IsLineWritten(*PictureTypeOfFile(request.output));
  if (const std::optional<std::string> refusal =
          MosaicSizeRefusal(source, options.magnification, streamed))
    return kVoice.Failure(*refusal);
  const std::unique_ptr<CDrawDibBmp> mosaic =
      streamed ? nullptr : NewMosaicBitmap(source, options.magnification);
  if (!streamed && !mosaic)
    return kVoice.Failure(
        "Not enough memory to create the mosaic image.\nTry selecting a lower magnification.");

  // Relative paths keep meaning what they meant here, after loading has
  // worked in the library folder.
  Paths().imageDirectory = CurrentDirectory();
  // Loading reads JPEG tiles only: a library of legacy tiles would look
  // empty, so they are converted first, as the library dialogs do.
  try {
    UpgradeLegacyTiles(Paths().currentLibrary);
  } catch (const FileError& error) {
    ReportFileError(error);  // the build goes on with the tiles there are
  }
  ConsoleShell::StopWorkOnInterrupt();
  BuildReport report;
  // The summary needs no row per placement, and a poster has millions.
  report.tilesUsed.KeepRows(!request.tilesUsedPath.empty());
  BuildOutcome outcome;
  if (streamed) {
    try {
      // Opened first, so an unwritable folder is found before the work.
      const std::unique_ptr<PictureFileWriter> writer =
          OpenPictureFileWriter(request.output, *PictureTypeOfFile(request.output),
                                static_cast<int>(source.width * options.magnification),
                                static_cast<int>(source.height * options.magnification));
      outcome = CreateMosaicStreamed(source, options, *writer, &report);
      if (outcome != BuildOutcome::kNoTiles && outcome != BuildOutcome::kAbortedBeforePainting)
        writer->Commit();
    } catch (const FileError& error) {
      return kVoice.Failure("cannot write " + error.Path() + ": " + error.Cause());
    }
  } else {
    outcome = CreateMosaic(source, *mosaic, options, &report);
    if (outcome != BuildOutcome::kNoTiles && outcome != BuildOutcome::kAbortedBeforePainting)
      if (const int written = WriteMosaic(*mosaic, request.output); written != kExitDone)
        return written;
  }
  if (outcome == BuildOutcome::kNoTiles) return kExitFailed;  // the engine said why
  // A blank mosaic would only replace whatever OUT holds with black.
  if (outcome == BuildOutcome::kAbortedBeforePainting)
    return kVoice.Failure("stopped before any tile was placed; " + request.output +
                          " was not written");
  if (report.photosLeftOut > 0)
    std::fprintf(stderr,
                 "tesselor-cli mosaic: %d photos of the library were left out, since a build "
                 "takes at most %d tiles (mirror images included); --all-tiles uses them all\n",
                 report.photosLeftOut, kTileSetCapacity);
  if (!request.tilesUsedPath.empty()) {
    try {
      report.tilesUsed.Save(request.tilesUsedPath);
    } catch (const FileError& error) {
      return kVoice.Failure("cannot write " + error.Path() + ": " + error.Cause());
    }
  }
  PrintTileUseSummary(report.tilesUsed);
  if (outcome == BuildOutcome::kAborted)
    return kVoice.Failure("stopped; the partly built mosaic was written to " + request.output);
  return kExitDone;
}

}  // namespace tesselor::cli
