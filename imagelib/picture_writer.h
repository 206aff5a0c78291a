// Writes a bitmap as a picture file of the type its name asks for: the one
// place that picks an encoder for a file name.
#pragma once

#include <optional>
#include <string>

#include "imagelib/win_bmp.h"

namespace tesselor {

enum class PictureType {
  kJpeg,  // baseline JFIF at quality 75
  kBmp,   // Windows bitmap, 24 bits for deeper bitmaps
  kPng,   // 24-bit colour
  kTiff,  // 24-bit colour, deflate; BigTIFF near 4 GB
};

// The type a file of this extension (lower case, without the dot) is written
// as; none for an extension no writer takes.
std::optional<PictureType> PictureTypeFor(const std::string& extension);
// The type the extension of path's file name asks for, in any letter case;
// none when the name has no '.'.
std::optional<PictureType> PictureTypeOfFile(const std::string& path);

// Writes bmp to path as type, replacing path only once the whole file is
// written. Throws CTextException or FileError, or std::bad_alloc when the
// encoder's buffer cannot be had.
void WritePicture(const CWinBmp& bmp, const std::string& path, PictureType type);

}  // namespace tesselor
