#include "imagelib/jpeg_error_guard.h"

#include <string.h>

_Static_assert(kJpegMessageBytes >= JMSG_LENGTH_MAX,
               "the library formats up to JMSG_LENGTH_MAX bytes");

static void GuardErrorExit(j_common_ptr cinfo) {
  JpegErrorGuard* guard = (JpegErrorGuard*)cinfo->err;
  (*cinfo->err->format_message)(cinfo, guard->message);
  longjmp(guard->jump, 1);
}

struct jpeg_error_mgr* JpegGuardInit(JpegErrorGuard* guard) {
  memset(guard, 0, sizeof *guard);
  jpeg_std_error(&guard->manager);
  guard->manager.error_exit = GuardErrorExit;
  return &guard->manager;
}

/* Runs one library statement; a jump from the error exit lands in the
 * setjmp branch and turns into a 0 result. */
#define GUARDED(guard, statement)        \
  do {                                   \
    if (setjmp((guard)->jump)) return 0; \
    statement;                           \
    return 1;                            \
  } while (0)

int JpegGuardCreateDecompress(JpegErrorGuard* guard, j_decompress_ptr cinfo) {
  cinfo->err = &guard->manager;
  GUARDED(guard, jpeg_create_decompress(cinfo));
}

int JpegGuardReadHeader(JpegErrorGuard* guard, j_decompress_ptr cinfo) {
  GUARDED(guard, jpeg_read_header(cinfo, TRUE));
}

int JpegGuardStartDecompress(JpegErrorGuard* guard, j_decompress_ptr cinfo) {
  GUARDED(guard, jpeg_start_decompress(cinfo));
}

int JpegGuardReadScanline(JpegErrorGuard* guard, j_decompress_ptr cinfo, JSAMPROW row) {
  GUARDED(guard, jpeg_read_scanlines(cinfo, &row, 1));
}

int JpegGuardFinishDecompress(JpegErrorGuard* guard, j_decompress_ptr cinfo) {
  GUARDED(guard, jpeg_finish_decompress(cinfo));
}

int JpegGuardCropScanline(JpegErrorGuard* guard, j_decompress_ptr cinfo, JDIMENSION* xoffset,
                          JDIMENSION* width) {
  GUARDED(guard, jpeg_crop_scanline(cinfo, xoffset, width));
}

int JpegGuardCreateCompress(JpegErrorGuard* guard, j_compress_ptr cinfo) {
  cinfo->err = &guard->manager;
  GUARDED(guard, jpeg_create_compress(cinfo));
}

int JpegGuardSetDefaults(JpegErrorGuard* guard, j_compress_ptr cinfo) {
  GUARDED(guard, jpeg_set_defaults(cinfo));
}

int JpegGuardStartCompress(JpegErrorGuard* guard, j_compress_ptr cinfo) {
  GUARDED(guard, jpeg_start_compress(cinfo, TRUE));
}

int JpegGuardWriteScanline(JpegErrorGuard* guard, j_compress_ptr cinfo, JSAMPROW row) {
  GUARDED(guard, jpeg_write_scanlines(cinfo, &row, 1));
}

int JpegGuardFinishCompress(JpegErrorGuard* guard, j_compress_ptr cinfo) {
  GUARDED(guard, jpeg_finish_compress(cinfo));
}
