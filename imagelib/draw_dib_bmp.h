// The bitmap class the program creates everywhere. Drawing it on screen is
// the desktop program's business (app/bitmap_drawing.h); here it is storage.
#pragma once

#include "imagelib/dib_section.h"

namespace tesselor {

class CDrawDibBmp : public CDIBSection {};

}  // namespace tesselor
