#include <png.h>

#include <cerrno>
#include <csetjmp>

#include "imagelib/picture_file_writer.h"
#include "imagelib/png_errors.h"
#include "platform/atomic_file.h"
#include "platform/file_error.h"

namespace tesselor {

namespace {

// Mosaics are large and made of photographs, which compress little further
// at higher levels; this level keeps a poster's write close to the speed of
// painting it.
constexpr int kDeflateLevel = 3;

// What the libpng callbacks reach. Nothing in this layer throws or holds a
// C++ object across a libpng call: an error longjmps back to the setjmp of
// the function that made the call.
struct PngWriteState {
  ~PngWriteState() {
    if (png) png_destroy_write_struct(&png, &info);
  }
  png_structp png = nullptr;
  png_infop info = nullptr;
  AtomicFile* file = nullptr;
  int writeError = 0;  // errno of a refused write, else 0
  char message[kPngMessageBytes] = "";
};

void OnWrite(png_structp png, png_bytep data, size_t count) {
  auto* state = static_cast<PngWriteState*>(png_get_io_ptr(png));
  if (!state->file->Write(data, count)) {
    state->writeError = errno;
    png_error(png, "write failed");
  }
}

void OnFlush(png_structp) {}

bool PngStart(PngWriteState& state, int width, int height) {
  if (setjmp(png_jmpbuf(state.png))) return false;
  png_set_write_fn(state.png, &state, OnWrite, OnFlush);
  png_set_IHDR(state.png, state.info, static_cast<png_uint_32>(width),
               static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(state.png, kDeflateLevel);
  png_write_info(state.png, state.info);
  // Rows come as blue, green, red and a fourth byte, which is dropped.
  png_set_bgr(state.png);
  png_set_filler(state.png, 0, PNG_FILLER_AFTER);
  return true;
}

bool PngWriteRows(PngWriteState& state, const uint8_t* const* rows, int count) {
  if (setjmp(png_jmpbuf(state.png))) return false;
  for (int k = 0; k < count; ++k) png_write_row(state.png, rows[k]);
  return true;
}

bool PngFinish(PngWriteState& state) {
  if (setjmp(png_jmpbuf(state.png))) return false;
  png_write_end(state.png, nullptr);
  return true;
}

class PngFileWriter : public PictureFileWriter {
 public:
  PngFileWriter(const std::string& path, int width, int height) : path_(path), height_(height) {
    if (!file_.Open(path)) AbandonPicture(file_, path_, ErrnoText());
    state_.file = &file_;
    state_.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state_.message,
                                         PngKeepMessageAndJump, PngIgnoreWarning);
    if (state_.png) state_.info = png_create_info_struct(state_.png);
    if (!state_.info || !PngStart(state_, width, height)) Fail();
  }

  void WriteRows(const uint8_t* const* rows, int count) override {
    if (!PngWriteRows(state_, rows, count)) Fail();
    written_ += count;
  }

  void Commit() override {
    if (written_ != height_) AbandonPicture(file_, path_, "The picture was not written whole.");
    if (!PngFinish(state_)) Fail();
    if (!file_.Commit()) AbandonPicture(file_, path_, ErrnoText());
  }

 private:
  [[noreturn]] void Fail() {
    if (state_.writeError != 0 || !state_.png) {
      errno = state_.png ? state_.writeError : ENOMEM;
      AbandonPicture(file_, path_, ErrnoText());
    }
    AbandonPicture(file_, path_, std::string("PNG encoder: ") + state_.message);
  }

  std::string path_;
  int height_;
  int written_ = 0;
  AtomicFile file_;
  PngWriteState state_;
};

}  // namespace

std::unique_ptr<PictureFileWriter> OpenPngWriter(const std::string& path, int width, int height) {
  return std::make_unique<PngFileWriter>(path, width, height);
}

}  // namespace tesselor
