#include "imagelib/heif_decoder.h"

#include <libheif/heif.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "imagelib/bmp.h"
#include "imagelib/heif_boxes.h"
#include "imagelib/heif_frame_sizes.h"
#include "imagelib/text_exception.h"

namespace tesselor {

namespace {

struct ContextFree {
  void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
  void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
  void operator()(const heif_image* image) const { heif_image_release(image); }
};

void Check(const heif_error& error) {
  if (error.code != heif_error_Ok)
    RaiseError(kErrUnsupported, std::string("HEIF decoder: ") + error.message + ".");
}

// Codecs may come as plugins, which libheif loads once per process.
void InitialiseLibraryOnce() {
  static const bool initialised = [] {
    heif_init(nullptr);
    return true;
  }();
  (void)initialised;
}

// libheif takes the items a derived picture is made from as given and
// aborts the program when one is missing, so such a file is refused first.
void RefuseMissingSources(const uint8_t* file, size_t bytes) {
  for (const std::vector<Box>& metaBoxes : MetaBoxContents(file, bytes))
    for (const uint64_t id : DerivedFromItemsNotHeld(metaBoxes))
      RaiseError(kErrBadHeader, "HEIF decoder: a derived picture is made from item " +
                                    std::to_string(id) + ", which the file does not hold.");
}

}  // namespace

// The AV1 codec sets up frames as large as its own units ask, and grid and
// overlay pictures are assembled at the size their items give, before any of
// them is compared with the file's header, so a few hundred bytes could cost
// gigabytes. None may be larger than the picture the file declares (its
// tiles and alpha are no larger), give or take the codec's 128-pixel
// blocks, nor beyond what any picture may be.
void CHEIFDecoder::RefuseOversizedFrames(const uint8_t* file, size_t bytes,
                                         const heif_image_handle& picture) const {
  const auto roundUp = [](int64_t length) { return (length + 127) / 128 * 128; };
  int64_t width = heif_image_handle_get_ispe_width(&picture);
  int64_t height = heif_image_handle_get_ispe_height(&picture);
  if (width <= 0 || height <= 0) {
    width = heif_image_handle_get_width(&picture);
    height = heif_image_handle_get_height(&picture);
  }
  const auto refuseLarger = [&](const std::vector<FrameSize>& frames, const std::string& what) {
    for (const FrameSize& frame : frames) {
      RefuseImpossibleSize(frame.width, frame.height, "HEIF decoder");
      if (frame.width * frame.height > roundUp(width) * roundUp(height))
        RaiseError(kErrBadHeader, "HEIF decoder: " + what + " of " + std::to_string(frame.width) +
                                      " x " + std::to_string(frame.height) +
                                      " is larger than the picture of " + std::to_string(width) +
                                      " x " + std::to_string(height) + " the file declares.");
    }
  };
  refuseLarger(Av1FrameSizes(file, bytes), "an AV1 frame");
  refuseLarger(HevcFrameSizes(file, bytes), "an HEVC frame");
  refuseLarger(GridOutputSizes(file, bytes), "a grid");
  refuseLarger(OverlayCanvasSizes(file, bytes), "an overlay");
}

void CHEIFDecoder::DecodeImage(CBmp& bmp, ColourTable&, int& bitsPerPixel, CDataSource& source) {
  InitialiseLibraryOnce();
  const std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
  if (!context) RaiseError(kErrOutOfMemory, "HEIF decoder: out of memory.");
  heif_context_set_maximum_image_size_limit(context.get(), kMaxBitmapDimension);
  // libheif reads the block directly; the whole file is already in memory.
  const uint8_t* file = source.CurrentPointer();
  const auto fileBytes = static_cast<size_t>(source.BytesLeft());
  Check(heif_context_read_from_memory_without_copy(context.get(), file, fileBytes, nullptr));
  RefuseMissingSources(file, fileBytes);

  heif_image_handle* rawHandle = nullptr;
  Check(heif_context_get_primary_image_handle(context.get(), &rawHandle));
  const std::unique_ptr<const heif_image_handle, HandleRelease> handle(rawHandle);
  RefuseOversizedFrames(file, fileBytes, *handle);

  // The bitmap is made before the picture is decoded, so a size we refuse
  // costs nothing.
  const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
  CreateBitmap(bmp, heif_image_handle_get_width(handle.get()),
               heif_image_handle_get_height(handle.get()), 32, alpha, "HEIF decoder");
  bitsPerPixel = 32;

  heif_image* rawImage = nullptr;
  Check(heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          nullptr));
  const std::unique_ptr<const heif_image, ImageRelease> image(rawImage);
  int stride = 0;
  const uint8_t* plane =
      heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (!plane) RaiseError(kErrUnsupported, "HEIF decoder: the decoded picture has no pixels.");
  const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
  const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
  // Turning and cropping happen in the decode, so the picture may differ
  // from the size the handle gave.
  if (width != bmp.width || height != bmp.height)
    CreateBitmap(bmp, width, height, 32, alpha, "HEIF decoder");

  const int samples = alpha ? 4 : 3;
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = plane + static_cast<size_t>(stride) * y;
    uint8_t* out = bmp.lineArray[y];
    for (int x = 0; x < width; ++x, in += samples, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = alpha ? in[3] : 255;
    }
  }
}

}  // namespace tesselor
