#include "imagelib/heif_frame_sizes.h"

#include <optional>

#include "imagelib/heif_boxes.h"

namespace tesselor {

namespace {

// Reads a sequence header up to the largest frame size it allows.
std::optional<FrameSize> ReadSequenceHeader(const uint8_t* data, size_t size) {
  BitReader bits(data, size);
  bits.Bits(3);  // profile
  bits.Bits(1);  // still picture
  if (bits.Bits(1)) {
    bits.Bits(5);  // the one level of a reduced still-picture header
  } else {
    bool decoderModel = false;
    int bufferDelayBits = 0;
    if (bits.Bits(1)) {  // timing info
      bits.Bits(32);
      bits.Bits(32);
      if (bits.Bits(1)) bits.ExpGolomb();
      decoderModel = bits.Bits(1) != 0;
      if (decoderModel) {
        bufferDelayBits = static_cast<int>(bits.Bits(5)) + 1;
        bits.Bits(32);
        bits.Bits(10);  // removal and presentation time lengths
      }
    }
    const bool initialDisplayDelay = bits.Bits(1) != 0;
    const int operatingPoints = static_cast<int>(bits.Bits(5)) + 1;
    for (int i = 0; i < operatingPoints && bits.Ok(); ++i) {
      bits.Bits(12);
      if (bits.Bits(5) > 7) bits.Bits(1);  // tier, present from level 4.0
      if (decoderModel && bits.Bits(1)) {
        bits.Bits(bufferDelayBits);
        bits.Bits(bufferDelayBits);
        bits.Bits(1);
      }
      if (initialDisplayDelay && bits.Bits(1)) bits.Bits(4);
    }
  }
  const int widthBits = static_cast<int>(bits.Bits(4)) + 1;
  const int heightBits = static_cast<int>(bits.Bits(4)) + 1;
  const int64_t width = int64_t{bits.Bits(widthBits)} + 1;
  const int64_t height = int64_t{bits.Bits(heightBits)} + 1;
  if (!bits.Ok()) return std::nullopt;
  return FrameSize{width, height};
}

// Walks a run of AV1 units and keeps the frame size of each sequence header.
void CollectFrameSizes(const uint8_t* data, size_t size, std::vector<FrameSize>& sizes) {
  constexpr uint32_t kSequenceHeader = 1;
  ByteReader units(data, size);
  while (units.Left() > 0) {
    const uint64_t header = units.Number(1);
    if (header & 0x04) units.Skip(1);  // extension byte
    const uint64_t unitSize = (header & 0x02) ? units.Leb128() : units.Left();
    if (!units.Ok() || unitSize > units.Left()) return;
    if ((header >> 3 & 0x0F) == kSequenceHeader)
      if (const auto frame = ReadSequenceHeader(units.At(), unitSize)) sizes.push_back(*frame);
    units.Skip(unitSize);
  }
}

// HEVC parameter sets hide emulation-prevention bytes (the 3 of 00 00 03)
// in their bits; the picture size lies within the first hundred bytes.
std::vector<uint8_t> ParameterSetBits(const uint8_t* unit, size_t size) {
  constexpr size_t kBytesNeeded = 160;
  std::vector<uint8_t> bits;
  int zeros = 0;
  for (size_t i = 0; i < size && bits.size() < kBytesNeeded; ++i) {
    if (zeros >= 2 && unit[i] == 3) {
      zeros = 0;
      continue;
    }
    zeros = unit[i] == 0 ? zeros + 1 : 0;
    bits.push_back(unit[i]);
  }
  return bits;
}

// Reads an HEVC sequence parameter set (unit header included) up to its
// picture size.
std::optional<FrameSize> ReadSequenceParameterSet(const uint8_t* unit, size_t size) {
  const std::vector<uint8_t> payload = ParameterSetBits(unit, size);
  BitReader bits(payload.data(), payload.size());
  bits.Bits(16);                                         // unit header
  bits.Bits(4);                                          // video parameter set
  const int subLayers = static_cast<int>(bits.Bits(3));  // beyond the first
  bits.Bits(1);
  // The profile, tier and level: 96 bits for the stream, then flags saying
  // which sub-layers carry their own profile (88 bits) and level (8 bits).
  bits.Bits(32), bits.Bits(32), bits.Bits(32);
  bool profilePresent[8] = {}, levelPresent[8] = {};
  for (int i = 0; i < subLayers; ++i) {
    profilePresent[i] = bits.Bits(1) != 0;
    levelPresent[i] = bits.Bits(1) != 0;
  }
  if (subLayers > 0)
    for (int i = subLayers; i < 8; ++i) bits.Bits(2);
  for (int i = 0; i < subLayers; ++i) {
    if (profilePresent[i]) bits.Bits(32), bits.Bits(32), bits.Bits(24);
    if (levelPresent[i]) bits.Bits(8);
  }
  bits.ExpGolomb();                         // its own id
  if (bits.ExpGolomb() == 3) bits.Bits(1);  // 4:4:4 chroma: separate planes
  const auto width = static_cast<int64_t>(bits.ExpGolomb());
  const auto height = static_cast<int64_t>(bits.ExpGolomb());
  if (!bits.Ok()) return std::nullopt;
  return FrameSize{width, height};
}

void CollectParameterSetSize(const uint8_t* unit, size_t size, std::vector<FrameSize>& sizes) {
  constexpr int kSequenceParameterSet = 33;
  if (size >= 2 && (unit[0] >> 1 & 0x3F) == kSequenceParameterSet)
    if (const auto frame = ReadSequenceParameterSet(unit, size)) sizes.push_back(*frame);
}

// The parameter sets of an HEVC configuration box: 22 bytes of stream
// properties, then arrays of units, each a type byte, a count and units
// with 16-bit lengths.
void CollectConfigurationSizes(const Box& configuration, std::vector<FrameSize>& sizes) {
  ByteReader reader(configuration.body, configuration.size);
  reader.Skip(22);
  const uint64_t arrays = reader.Number(1);
  for (uint64_t a = 0; a < arrays && reader.Ok(); ++a) {
    reader.Skip(1);
    const uint64_t units = reader.Number(2);
    for (uint64_t u = 0; u < units && reader.Ok(); ++u) {
      const uint64_t length = reader.Number(2);
      if (length > reader.Left()) return;
      CollectParameterSetSize(reader.At(), length, sizes);
      reader.Skip(length);
    }
  }
}

// An HEVC item's own units, each behind a 4-byte length as the library hands
// them to the codec; a parameter set there counts as well.
void CollectItemUnitSizes(const uint8_t* data, size_t size, std::vector<FrameSize>& sizes) {
  ByteReader units(data, size);
  while (units.Left() >= 4) {
    const uint64_t unitSize = units.Number(4);
    if (unitSize > units.Left()) return;
    CollectParameterSetSize(units.At(), unitSize, sizes);
    units.Skip(unitSize);
  }
}

}  // namespace

std::vector<FrameSize> Av1FrameSizes(const uint8_t* file, size_t size) {
  std::vector<FrameSize> sizes;
  for (const std::vector<Box>& metaBoxes : MetaBoxContents(file, size)) {
    // The codec is handed the configuration box's units ahead of the item's.
    for (const Box& configuration : PropertiesOfType(metaBoxes, FourCC("av1C")))
      if (configuration.size > 4)
        CollectFrameSizes(configuration.body + 4, configuration.size - 4, sizes);
    ForEachItemOfType(file, size, metaBoxes, FourCC("av01"),
                      [&](const uint8_t* data, size_t length) {
                        CollectFrameSizes(data, length, sizes);
                      });
  }
  return sizes;
}

std::vector<FrameSize> HevcFrameSizes(const uint8_t* file, size_t size) {
  std::vector<FrameSize> sizes;
  for (const std::vector<Box>& metaBoxes : MetaBoxContents(file, size)) {
    for (const Box& configuration : PropertiesOfType(metaBoxes, FourCC("hvcC")))
      CollectConfigurationSizes(configuration, sizes);
    ForEachItemOfType(
        file, size, metaBoxes, FourCC("hvc1"),
        [&](const uint8_t* data, size_t length) { CollectItemUnitSizes(data, length, sizes); });
  }
  return sizes;
}

namespace {

// The output size each derived item of type declares. Its data begins with
// a version, flags (bit 0: 32-bit sizes) and fieldsBeforeSize more bytes,
// then the output width and height.
std::vector<FrameSize> DerivedOutputSizes(const uint8_t* file, size_t size, uint32_t type,
                                          size_t fieldsBeforeSize) {
  std::vector<FrameSize> sizes;
  for (const std::vector<Box>& metaBoxes : MetaBoxContents(file, size))
    ForEachItemOfType(file, size, metaBoxes, type, [&](const uint8_t* data, size_t length) {
      ByteReader reader(data, length);
      reader.Skip(1);
      const size_t sizeBytes = reader.Number(1) & 1 ? 4 : 2;
      reader.Skip(fieldsBeforeSize);
      const auto width = static_cast<int64_t>(reader.Number(sizeBytes));
      const auto height = static_cast<int64_t>(reader.Number(sizeBytes));
      if (reader.Ok()) sizes.push_back({width, height});
    });
  return sizes;
}

}  // namespace

std::vector<FrameSize> GridOutputSizes(const uint8_t* file, size_t size) {
  // Rows and columns less one, a byte each.
  return DerivedOutputSizes(file, size, FourCC("grid"), 2);
}

std::vector<FrameSize> OverlayCanvasSizes(const uint8_t* file, size_t size) {
  // The canvas's fill colour, four 16-bit values.
  return DerivedOutputSizes(file, size, FourCC("iovl"), 8);
}

}  // namespace tesselor
