// Feeds arbitrary bytes to the legacy tile upgrade as a ".raw" tile: whatever
// the file holds, the upgrade must either leave it in place or replace it by
// a 64 x 64 JPEG tile, never both and never neither.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/scratch_folder.h"
#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "library/legacy_upgrade.h"
#include "platform/app_paths.h"
#include "tests/support/scripted_shell.h"

using namespace tesselor;

namespace {

const std::string kLibrary = "Legacy/";

const std::string& ProgramFolder() {
  static const std::string folder = [] {
    if (mkdir((ScratchFolder() + kLibrary).c_str(), 0700) != 0) std::abort();
    return ScratchFolder();
  }();
  return folder;
}

bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ScriptedShell shell;  // answers the upgrade's notice quietly
  Paths().programDirectory = ProgramFolder();
  const std::string raw = ProgramFolder() + kLibrary + "tile.raw";
  const std::string jpeg = ProgramFolder() + kLibrary + "tile.jpg";
  FILE* file = std::fopen(raw.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  UpgradeLegacyTiles(kLibrary);
  shell.messages.clear();

  if (Exists(raw) == Exists(jpeg)) std::abort();
  if (Exists(jpeg)) {
    CAnyPicDecoder decoder;
    CDrawDibBmp tile;
    decoder.DecodeFile(jpeg, tile, 32);
    if (tile.width != 64 || tile.height != 64) std::abort();
  }
  unlink(raw.c_str());
  unlink(jpeg.c_str());
  return 0;
}
