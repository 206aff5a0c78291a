// Finds, without decoding, the frame sizes that the AV1 payloads of an AVIF
// file declare in their sequence headers. The AV1 codec sets up frames of
// that size whatever the file's own header says, so a few hundred bytes can
// ask it for gigabytes; the HEIF decoder checks these sizes first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesselor {

struct Av1FrameSize {
  int64_t width = 0;
  int64_t height = 0;
};

// The largest frame size named by each sequence header in the file's AV1
// items and in its AV1 configuration boxes. A file that is not AVIF, or whose
// boxes do not hold together, gives what could be read (often nothing): the
// codec library judges the rest.
std::vector<Av1FrameSize> Av1FrameSizes(const uint8_t* file, size_t size);

}  // namespace tesselor
