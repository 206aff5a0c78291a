// Turning a decoded picture the right way up, by the EXIF Orientation values
// 1 to 8 (1: stored upright; 6: the camera was turned a quarter clockwise).
#pragma once

#include "imagelib/bmp.h"

namespace tesselor {

// Rotates or mirrors an 8- or 32-bit bitmap so that it shows as the
// orientation says; values 5 to 8 swap width and height. Any other value or
// depth leaves the bitmap as it is. Throws std::bad_alloc when the turned
// copy cannot be had, leaving the bitmap without storage.
void Reorient(CBmp& bmp, int orientation);

// What the value asks for, in words ("rotate 90 clockwise").
const char* OrientationText(int orientation);

}  // namespace tesselor
