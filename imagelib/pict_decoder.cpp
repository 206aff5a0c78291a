#include "imagelib/pict_decoder.h"

#include <algorithm>
#include <cstring>

#include "imagelib/byte_order.h"
#include "imagelib/jpeg_decoder.h"
#include "imagelib/pict_opcodes.h"
#include "imagelib/pict_pixmap.h"
#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

constexpr int kPreambleBytes = 512;
constexpr int kSizeAndFrameBytes = 2 + 8;
constexpr uint8_t kVersionOpcode = 0x11;

// Compressed QuickTime data: a fixed part, then matte and mask of sizes
// given in it, then the image description, then the compressed image.
constexpr size_t kQuickTimeFixedBytes = 68;
constexpr size_t kMatteSizeAt = 38;
constexpr size_t kMaskSizeAt = 64;
constexpr size_t kDescriptionBytes = 86;
constexpr size_t kCodecAt = 4;
constexpr size_t kDataSizeAt = 44;

[[noreturn]] void Unrecognized() {
  RaiseError(kErrUnsupported, "PICT file contains unrecognized quicktime data.\n");
}

int ReadVersion(CDataSource& source) {
  source.ReadBytes(kPreambleBytes + kSizeAndFrameBytes);
  uint8_t byte = source.ReadByte();
  while (byte == 0) byte = source.ReadByte();
  if (byte != kVersionOpcode)
    RaiseError(kErrWrongSignature, "Error decoding pict: Version number missing.");
  const uint8_t version = source.ReadByte();
  if (version == 1) return 1;
  if (version == 2 && source.ReadByte() == 0xFF) return 2;
  RaiseError(kErrWrongSignature, "Illegal version number.");
}

void SkipOpcodeData(CDataSource& source, const PictOpcode& op) {
  switch (op.data) {
    case PictData::kFixed:
      source.ReadBytes(op.length);
      break;
    case PictData::kRegion:
      SkipPictRegion(source);
      break;
    case PictData::kLengthWord:
      source.ReadBytes(ReadWordBE(source));
      break;
    case PictData::kLengthDword:
      source.ReadBytes(ReadDWordBE(source));
      break;
    case PictData::kText:
      source.ReadBytes(op.length);
      source.ReadBytes(source.ReadByte());
      break;
    case PictData::kLongComment:
      ReadWordBE(source);  // kind
      source.ReadBytes(ReadWordBE(source));
      break;
    case PictData::kPixPattern:
      SkipPictPixPattern(source);
      break;
    default:  // the opcodes that end the walk never get here
      break;
  }
}

}  // namespace

void CPictDecoder::DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                               CDataSource& source) {
  const int64_t start = source.BytesRead();
  const int version = ReadVersion(source);

  for (;;) {
    // Version 2 opcodes are words on even offsets from the picture start.
    if (version == 2 && (source.BytesRead() - start) % 2) source.ReadBytes(1);
    const int opcode = version == 2 ? ReadWordBE(source) : source.ReadByte();
    const PictOpcode op = DescribePictOpcode(opcode, version);
    switch (op.data) {
      case PictData::kEnd:
        RaiseError(kErrUnsupported, "PICT contained only vector data!\n");
      case PictData::kPixelMap:
        DecodePixelMap(opcode, bmp, palette, bitsPerPixel, source);
        return;
      case PictData::kQuickTime:
        DecodeQuickTime(bmp, bitsPerPixel, source);
        return;
      default:
        SkipOpcodeData(source, op);
    }
  }
}

void CPictDecoder::DecodePixelMap(int opcode, CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                                  CDataSource& source) {
  const bool direct = opcode == 0x9A || opcode == 0x9B;
  const bool withRegion = opcode & 1;
  const bool packed = opcode >= 0x98;
  if (direct) source.ReadBytes(4);  // base address, meaningless in a file
  PictPixMap map = ReadPictPixMap(source, direct);
  source.ReadBytes(8 + 8 + 2);  // source and destination rectangles, transfer mode
  if (withRegion) SkipPictRegion(source);

  if (direct && map.pixelSize != 16 && map.pixelSize != 32)
    RaiseError(kErrBadHeader, "Bad bits per pixel in expandBuf.");
  const bool eightBit = !direct && bitsPerPixel != 32;
  CreateBitmap(bmp, map.bounds.Width(), map.bounds.Height(), eightBit ? 8 : 32,
               direct && map.cmpCount == 4, "PICT");
  bitsPerPixel = eightBit ? 8 : 32;
  if (direct) {
    DecodePictDirectRows(source, map, bmp);
    return;
  }
  palette = map.table;
  if (eightBit) bmp.CopyPalette(palette.data());
  DecodePictIndexedRows(source, map, packed, eightBit, bmp);
}

void CPictDecoder::DecodeQuickTime(CBmp& bmp, int bitsPerPixel, CDataSource& source) {
  const uint32_t length = ReadDWordBE(source);
  const uint8_t* data = source.ReadBytes(length);
  if (length < kQuickTimeFixedBytes) Unrecognized();
  const uint64_t description = kQuickTimeFixedBytes + uint64_t{BigEndian32(data + kMatteSizeAt)} +
                               BigEndian32(data + kMaskSizeAt);
  if (description + kDescriptionBytes > length) Unrecognized();
  const uint8_t* id = data + description;
  if (std::memcmp(id + kCodecAt, "jpeg", 4) != 0) Unrecognized();
  const uint64_t imageStart = description + BigEndian32(id);
  if (imageStart > length) Unrecognized();
  const uint64_t imageBytes =
      std::min<uint64_t>(BigEndian32(id + kDataSizeAt), length - imageStart);
  CMemorySource jpeg(data + imageStart, static_cast<int64_t>(imageBytes), source.Name());
  jpegDecoder_->DecodeSource(jpeg, bmp, bitsPerPixel);
}

}  // namespace tesselor
