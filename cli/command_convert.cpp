// tesselor-cli convert: any image file the program reads, as JPEG or BMP.
#include "cli/file_operands.h"
#include "imagelib/any_pic_decoder.h"
#include "imagelib/draw_dib_bmp.h"
#include "imagelib/picture_writer.h"
#include "imagelib/text_exception.h"
#include "platform/file_error.h"

namespace tesselor::cli {

namespace {

constexpr FileCommand kConvert{
    {"convert", "shows the usage"},
    "Usage: tesselor-cli convert IN OUT\n"
    "\n"
    "Decodes IN (any format the program recognises by content) and writes it\n"
    "to OUT as the desktop program saves pictures: a baseline JPEG at quality\n"
    "75 when OUT ends in .jpg or .jpeg, a 24-bit Windows bitmap when it ends in\n"
    ".bmp, PNG for .png, deflate-compressed TIFF for .tif or .tiff (in any letter\n"
    "case). OUT is replaced only once it is written whole.\n"
    "\n"
    "Exit status: 0 done, 1 IN cannot be read or OUT cannot be written,\n"
    "2 bad usage.\n",
    2};

}  // namespace

int RunConvert(const Arguments& args) {
  Arguments files;
  if (const std::optional<int> exitCode = ParseFileOperands(kConvert, args, files))
    return *exitCode;
  const std::string& in = files[0];
  const std::string& out = files[1];
  const std::optional<PictureType> type = PictureTypeOfFile(out);
  if (!type) return kConvert.UsageError("OUT must end in .jpg, .jpeg, .bmp, .png, .tif or .tiff");

  CDrawDibBmp bmp;
  try {
    CAnyPicDecoder().DecodeFile(in, bmp, 32);
  } catch (const CTextException& error) {
    return kConvert.Failure("cannot read " + in + ": " + OneLine(error.GetText()));
  }
  try {
    WritePicture(bmp, out, *type);
  } catch (const CTextException& error) {
    return kConvert.Failure("cannot write " + out + ": " + OneLine(error.GetText()));
  } catch (const FileError& error) {
    return kConvert.Failure("cannot write " + error.Path() + ": " + error.Cause());
  }
  return kExitDone;
}

}  // namespace tesselor::cli
