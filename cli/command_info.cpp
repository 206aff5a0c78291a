// tesselor-cli info: what the program makes of an image file.
#include <cstdio>

#include "cli/file_operands.h"
#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/file_source.h"
#include "imagelib/text_exception.h"

namespace tesselor::cli {

namespace {

constexpr FileCommand kInfo{{"info", "shows the usage"},
                            "Usage: tesselor-cli info FILE\n"
                            "\n"
                            "Recognises FILE by its content, decodes it and prints its format,\n"
                            "width and height in pixels, and the depth in bits per pixel that it\n"
                            "decodes to at its own depth (8 for grey and colour-table pictures,\n"
                            "32 for the others).\n"
                            "\n"
                            "Exit status: 0 done, 1 the file cannot be read, 2 bad usage.\n",
                            1};

}  // namespace

int RunInfo(const Arguments& args) {
  Arguments files;
  if (const std::optional<int> exitCode = ParseFileOperands(kInfo, args, files)) return *exitCode;
  const std::string& path = files[0];
  CDrawDibBmp bmp;
  try {
    CAnyPicDecoder().DecodeFile(path, bmp, 0);
  } catch (const CTextException& error) {
    return kInfo.Failure("cannot read " + path + ": " + OneLine(error.GetText()));
  }
  // The file decoded, so it opens again; recognition only peeks at it.
  CFileSource source;
  if (source.OpenFile(path) != 0) return kInfo.Failure("cannot read " + path + " again");
  std::printf("Format: %s\nWidth: %d\nHeight: %d\nDepth: %d\n",
              FormatName(CAnyPicDecoder::Recognize(source)), bmp.width, bmp.height,
              bmp.bitsPerPixel);
  return kExitDone;
}

}  // namespace tesselor::cli
