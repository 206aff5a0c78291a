#include "imagelib/picture_file_writer.h"

#include "platform/file_error.h"

namespace tesselor {

bool IsLineWritten(PictureType type) {
  return type == PictureType::kPng || type == PictureType::kTiff;
}

std::unique_ptr<PictureFileWriter> OpenPictureFileWriter(const std::string& path, PictureType type,
                                                         int width, int height) {
  if (type == PictureType::kTiff) return OpenTiffWriter(path, width, height);
  return OpenPngWriter(path, width, height);
}

void AbandonPicture(AtomicFile& file, const std::string& path, const std::string& cause) {
  file.Discard();
  throw FileError(path, cause);
}

void WriteBitmapLines(const CBmp& bmp, PictureFileWriter& writer) {
  writer.WriteRows(bmp.lineArray, bmp.height);
  writer.Commit();
}

}  // namespace tesselor
