// Decodes Windows metafiles and enhanced metafiles by playing their drawing
// records onto a white bitmap of the picture's size.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CWEMFDecoder : public CPicDecoder {
 public:
  // A source whose name holds ".emf" (any case) is read as an enhanced
  // metafile, anything else as a Windows metafile.
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;
};

}  // namespace tesselor
