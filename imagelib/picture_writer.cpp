#include "imagelib/picture_writer.h"

#include "imagelib/jpeg_encoder.h"
#include "imagelib/picture_file_writer.h"
#include "platform/directory_listing.h"

namespace tesselor {

std::optional<PictureType> PictureTypeFor(const std::string& extension) {
  if (extension == "jpg" || extension == "jpeg") return PictureType::kJpeg;
  if (extension == "bmp") return PictureType::kBmp;
  if (extension == "png") return PictureType::kPng;
  if (extension == "tif" || extension == "tiff") return PictureType::kTiff;
  return std::nullopt;
}

std::optional<PictureType> PictureTypeOfFile(const std::string& path) {
  const std::string name = path.substr(path.find_last_of('/') + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return std::nullopt;
  return PictureTypeFor(ToLowerAscii(name.substr(dot + 1)));
}

void WritePicture(const CWinBmp& bmp, const std::string& path, PictureType type) {
  switch (type) {
    case PictureType::kJpeg:
      CJPEGEncoder().EncodeFile(path, bmp);
      return;
    case PictureType::kBmp:
      bmp.SaveAsBmp(path);
      return;
    case PictureType::kPng:
    case PictureType::kTiff:
      WriteBitmapLines(bmp, *OpenPictureFileWriter(path, type, bmp.width, bmp.height));
      return;
  }
}

}  // namespace tesselor
