// tesselor-cli tiles: makes library tiles from a folder of photographs.

#include <cstdio>
#include <new>
#include <optional>

#include "cli/command_voice.h"
#include "cli/library_option.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/image_formats.h"
#include "imagelib/photograph_decoder.h"
#include "imagelib/text_exception.h"
#include "library/make_tile.h"
#include "library/tile_files.h"
#include "library/tile_operations.h"
#include "platform/app_paths.h"
#include "platform/console_shell.h"
#include "platform/directory_listing.h"

namespace tesselor::cli {

namespace {

// Crops are squares of 1/1 to 1/kCropScales of the picture's shorter side.
constexpr int kCropScales = 4;

constexpr const char* kUsage =
    "Usage: tesselor-cli tiles FOLDER [--library NAME|DIR] [--crops]\n"
    "\n"
    "Makes 64 x 64 tiles for a tile library from the photographs in FOLDER: the\n"
    "files named like a picture format Tesselor reads, in any letter case:\n"
    "%s"
    "Each tile is named after its photograph: beach.PNG gives the tile beach.jpg;\n"
    "a photograph that records an orientation (EXIF) is turned upright. A name the\n"
    "library already has is skipped and its tile kept; so are files that are not\n"
    "pictures or are smaller than 64 x 64. The library folder is created when it is\n"
    "missing (a new library NAME goes among your own). Installed libraries cannot\n"
    "take tiles.\n"
    "\n"
    "Options:\n"
    "%s"
    "  --crops              make many tiles from each photograph instead of one:\n"
    "                       square crops laid edge to edge over the picture at four\n"
    "                       scales, the largest square that fits and squares of\n"
    "                       1/2, 1/3 and 1/4 of the shorter side (smaller than 64\n"
    "                       pixels left out). A crop at scale K numbered N is named\n"
    "                       PHOTO-sK-N (beach-s2-4). This builds a rich library\n"
    "                       from a few large photographs.\n"
    "  --fit FIT            squeeze (the whole photograph, out of shape if it is not\n"
    "                       square) or crop (its largest centred square) (squeeze)\n"
    "  -h, --help           show this text\n"
    "\n"
    "Ends with a line saying how many tiles were made and how many skipped.\n"
    "Ctrl-C stops after the tile in hand (a second Ctrl-C ends at once).\n"
    "Exit status: 0 done, 1 failed (no photographs, a tile not written) or stopped,\n"
    "2 bad usage.\n";

// The extensions of every format the image library reads, as indented lines.
std::string ExtensionLines() {
  constexpr size_t kWidth = 78;
  std::string lines, line = " ";
  for (const ImageFormat& format : ImageFormats()) {
    for (const std::string& extension : format.extensions) {
      if (line.size() + 2 + extension.size() > kWidth) {
        lines += line + "\n";
        line = " ";
      }
      line += " ." + extension;
    }
  }
  return lines + line + "\n";
}

struct Request {
  std::string folder;
  bool crops = false;
  TileFit fit = TileFit::kSqueeze;
};

struct Tally {
  int made = 0;
  int skipped = 0;
  void Count(bool wasMade) { ++(wasMade ? made : skipped); }
};

constexpr CommandVoice kVoice{"tiles", "lists the options"};

std::optional<int> Parse(const Arguments& args, Request& request) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      std::printf(kUsage, ExtensionLines().c_str(), kLibraryOptionHelp);
      return kExitDone;
    }
    if (arg == "--crops") {
      request.crops = true;
    } else if (arg == "--fit") {
      if (const std::optional<int> exit = TakeTileFit(kVoice, args, i, request.fit)) return exit;
    } else if (arg == "--library") {
      if (i + 1 >= args.size()) return kVoice.UsageError("--library needs a value");
      if (!SelectLibrary(args[++i])) return kVoice.UsageError("invalid library '" + args[i] + "'");
    } else if (!arg.empty() && arg[0] == '-') {
      return kVoice.UsageError("unknown option " + arg);
    } else if (!request.folder.empty()) {
      return kVoice.UsageError("more than one folder: '" + arg + "'");
    } else {
      request.folder = arg;
    }
  }
  if (request.folder.empty()) return kVoice.UsageError("no folder of photographs given");
  return std::nullopt;
}

// Square crops of one photograph at every scale, each named title-sK-N.
void MakeCropTiles(const std::string& path, const std::string& title, Tally& tally) {
  CDrawDibBmp picture;
  try {
    CPhotographDecoder().DecodeFile(path, picture, 32);
  } catch (const CTextException&) {
    tally.Count(false);
    return;
  } catch (const std::bad_alloc&) {
    tally.Count(false);
    return;
  }
  const int shorter = picture.width < picture.height ? picture.width : picture.height;
  CDrawDibBmp tile;
  for (int scale = 1; scale <= kCropScales; ++scale) {
    const int side = shorter / scale;
    if (side < kTileEdge) break;
    const int columns = picture.width / side, rows = picture.height / side;
    // Centre the grid, so the margins it leaves are shared by both edges.
    const int left = (picture.width - columns * side) / 2;
    const int top = (picture.height - rows * side) / 2;
    int number = 0;
    for (int row = 0; row < rows; ++row) {
      for (int column = 0; column < columns; ++column, ++number) {
        const std::string name =
            title + "-s" + std::to_string(scale) + "-" + std::to_string(number);
        if (ConsoleShell::InterruptRequested()) return;
        ReduceToTile(picture, {left + column * side, top + row * side, side, side}, tile);
        tally.Count(WriteNewTile(tile, TilePath(Paths().currentLibrary, name)));
      }
    }
  }
}

}  // namespace

int RunTiles(const Arguments& args) {
  Request request;
  if (const std::optional<int> exitCode = Parse(args, request)) return *exitCode;
  if (!IsFolder(request.folder)) return kVoice.Failure("no folder " + request.folder);
  if (RefuseUnchangeableLibrary(Paths().currentLibrary)) return kExitFailed;
  const std::string library = Paths().LibraryDirectory();
  if (!MakeFolderWithParents(library))
    return kVoice.Failure("cannot make the library folder " + library);

  // Ctrl-C stops the run after the tile in hand, which is finished first.
  ConsoleShell::StopWorkOnInterrupt();
  Tally tally;
  int photographs = 0;
  try {
    for (const DirectoryEntry& entry : ListPhotographs(request.folder)) {
      if (ConsoleShell::InterruptRequested()) break;
      ++photographs;
      const std::string title = FileTitle(entry.name);
      if (request.crops)
        MakeCropTiles(entry.fullPath, title, tally);
      else
        tally.Count(MakeTile(entry.fullPath, title, nullptr, request.fit) == 1);
    }
  } catch (const CTextException& error) {
    std::printf("%d tiles made, %d skipped before the failure\n", tally.made, tally.skipped);
    return kVoice.Failure(OneLine(error.GetText()));
  }
  const bool stopped = ConsoleShell::InterruptRequested();
  if (photographs == 0 && !stopped)
    return kVoice.Failure("no photographs in " + request.folder +
                          " (tiles --help lists the names taken)");
  std::printf("%d tiles made, %d skipped, in %s\n", tally.made, tally.skipped, library.c_str());
  return stopped ? kVoice.Failure("stopped by Ctrl-C") : kExitDone;
}

}  // namespace tesselor::cli
