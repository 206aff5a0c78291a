// Decodes Windows metafiles and enhanced metafiles by playing their drawing
// records onto a white bitmap of the picture's size.
#pragma once

#include "imagelib/pic_decoder.h"

namespace tesselor {

class CWEMFDecoder : public CPicDecoder {
 public:
  // Data with an enhanced metafile's header, or without a metafile
  // signature in a file whose own name holds ".emf" (any case), is read as
  // an enhanced metafile, anything else as a Windows metafile.
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override;

 protected:
  int64_t MostPixelsPerByte() const override;
};

}  // namespace tesselor
