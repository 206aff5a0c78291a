#include "imagelib/picture_file_writer.h"

namespace tesselor {

bool IsLineWritten(PictureType type) {
  return type == PictureType::kPng || type == PictureType::kTiff;
}

std::unique_ptr<PictureFileWriter> OpenPictureFileWriter(const std::string& path, PictureType type,
                                                         int width, int height) {
  if (type == PictureType::kTiff) return OpenTiffWriter(path, width, height);
  return OpenPngWriter(path, width, height);
}

void WriteBitmapLines(const CBmp& bmp, PictureFileWriter& writer) {
  writer.WriteRows(bmp.lineArray, bmp.height);
  writer.Commit();
}

}  // namespace tesselor
