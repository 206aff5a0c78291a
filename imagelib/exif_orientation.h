// Finds the EXIF Orientation tag in the metadata cameras and phones store:
// the tag says how the stored rows must be turned to show the picture the
// way the camera was held.
#pragma once

#include <cstdint>

namespace tesselor {

// The Orientation of IFD0 in an EXIF block laid out as a TIFF file (byte
// order mark first), or 1 when the block has none or it is not 1 to 8.
int OrientationInExif(const uint8_t* exif, int64_t size);

// The Orientation of a JPEG file's EXIF segment, or 1.
int OrientationInJpeg(const uint8_t* data, int64_t size);

// The Orientation of a WebP file's EXIF chunk, or 1.
int OrientationInWebp(const uint8_t* data, int64_t size);

}  // namespace tesselor
