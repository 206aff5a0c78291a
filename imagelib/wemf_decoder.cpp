#include "imagelib/wemf_decoder.h"

#include "imagelib/text_exception.h"
#include "imagelib/trace.h"

namespace tesselor {

void CWEMFDecoder::DecodeImage(CBmp&, ColourTable&, int&, CDataSource&) {
  RaiseError(kErrUnsupported, "Windows metafile files cannot be read by this version of Tesselor.");
}

}  // namespace tesselor
