#include "imagelib/png_reader.h"

#include <csetjmp>
#include <cstdio>

#include "imagelib/data_source.h"
#include "imagelib/png_errors.h"

namespace tesselor {

namespace {

// Nothing here may throw or hold a C++ object across a libpng call: a
// longjmp out of libpng lands in the setjmp of the calling function.

// Takes each block libpng asks for from the source, checking what is left
// first: ReadBytes would throw past the end, and no exception may leave here.
void OnRead(png_structp png, png_bytep out, size_t count) {
  auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
  CDataSource& source = *reader->source;
  if (static_cast<uint64_t>(source.BytesLeft()) < count) {
    reader->endOfData = true;
    png_error(png, "End of file reached while decoding.");
  }
  const uint8_t* data = source.ReadBytes(static_cast<int64_t>(count));
  for (size_t i = 0; i < count; ++i) out[i] = data[i];
}

}  // namespace

bool PngOpen(PngReader& reader, CDataSource& source) {
  reader.source = &source;
  reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, reader.message, PngKeepMessageAndJump,
                                      PngIgnoreWarning);
  if (!reader.png) return false;
  if (setjmp(png_jmpbuf(reader.png))) return false;
  reader.info = png_create_info_struct(reader.png);
  if (!reader.info) return false;
  png_set_read_fn(reader.png, &reader, OnRead);
  // Only the pixels are used, so the metadata chunks are skipped unread.
  // libpng would otherwise allocate whatever length such a chunk claims (an
  // absurd one only draws a warning) and inflate compressed text and
  // profiles, so a file of a few bytes could make it ask for gigabytes.
  static constexpr png_byte kIgnoredChunks[] =
      "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0"
      "sRGB\0tEXt\0tIME\0zTXt";
  png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                              static_cast<int>(sizeof kIgnoredChunks / 5));
  return true;
}

bool PngReadInfo(PngReader& reader, PngInfo& info) {
  if (setjmp(png_jmpbuf(reader.png))) return false;
  png_read_info(reader.png, reader.info);
  info.width = png_get_image_width(reader.png, reader.info);
  info.height = png_get_image_height(reader.png, reader.info);
  info.bitDepth = png_get_bit_depth(reader.png, reader.info);
  info.colourType = png_get_color_type(reader.png, reader.info);
  png_colorp palette = nullptr;
  int entries = 0;
  if (!png_get_PLTE(reader.png, reader.info, &palette, &entries)) entries = 0;
  info.palette = palette;
  info.paletteEntries = entries;
  info.hasTransparency = png_get_valid(reader.png, reader.info, PNG_INFO_tRNS) != 0;
  return true;
}

bool PngSetOutput(PngReader& reader, const PngOutput& output, size_t expectedRowBytes) {
  if (setjmp(png_jmpbuf(reader.png))) return false;
  png_structp png = reader.png;
  png_set_strip_16(png);
  if (output.thirtyTwoBit) {
    // Palette and low-depth grey become 8-bit samples, transparency chunks
    // an alpha channel.
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (!output.hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  } else {
    png_set_packing(png);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, reader.info);
  if (png_get_rowbytes(png, reader.info) != expectedRowBytes) {
    std::snprintf(reader.message, sizeof reader.message, "Unexpected PNG row size.");
    return false;
  }
  return true;
}

bool PngReadRows(PngReader& reader, uint8_t** rows) {
  if (setjmp(png_jmpbuf(reader.png))) return false;
  png_read_image(reader.png, rows);
  png_read_end(reader.png, nullptr);
  return true;
}

void PngClose(PngReader& reader) {
  if (reader.png)
    png_destroy_read_struct(&reader.png, reader.info ? &reader.info : nullptr, nullptr);
  reader.png = nullptr;
  reader.info = nullptr;
}

}  // namespace tesselor
