// Finds, without decoding, the sizes a HEIF or AVIF file asks its decoders
// to set up: the frames its AV1 and HEVC payloads declare in their sequence
// headers, and the pictures its grid and overlay items assemble. All are set
// up whatever size the file's own header gives the picture, so a few hundred
// bytes can ask for gigabytes; the HEIF decoder checks these sizes first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesselor {

struct FrameSize {
  int64_t width = 0;
  int64_t height = 0;
};

// The largest frame size named by each sequence header in the file's AV1
// items and in its AV1 configuration boxes. A file that is not AVIF, or whose
// boxes do not hold together, gives what could be read (often nothing): the
// codec library judges the rest.
std::vector<FrameSize> Av1FrameSizes(const uint8_t* file, size_t size);

// The picture size of each sequence parameter set in the file's HEVC items
// and in their configuration boxes, read the same way.
std::vector<FrameSize> HevcFrameSizes(const uint8_t* file, size_t size);

// The output size each grid item declares, read the same way.
std::vector<FrameSize> GridOutputSizes(const uint8_t* file, size_t size);

// The canvas size each overlay item declares, read the same way.
std::vector<FrameSize> OverlayCanvasSizes(const uint8_t* file, size_t size);

}  // namespace tesselor
