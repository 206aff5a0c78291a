/* A thin C layer around the libjpeg calls that can fail. The library reports
 * errors by calling its error exit, which must not return; ours jumps back
 * here with longjmp, so the C++ side only ever sees a return value and never
 * has an exception or a jump cross the library's frames. */
#ifndef TESSELOR_IMAGELIB_JPEG_ERROR_GUARD_H_
#define TESSELOR_IMAGELIB_JPEG_ERROR_GUARD_H_

/* jpeglib.h needs size_t and FILE declared before it. */
/* clang-format off */
#include <setjmp.h>
#include <stddef.h>
#include <stdio.h>
#include <jpeglib.h>
/* clang-format on */

#ifdef __cplusplus
extern "C" {
#endif

enum { kJpegMessageBytes = 256 };

typedef struct JpegErrorGuard {
  /* First member, so the library's error pointer is also a pointer to us. */
  struct jpeg_error_mgr manager;
  jmp_buf jump;
  /* The library's text for the last error, without a trailing line feed. */
  char message[kJpegMessageBytes];
} JpegErrorGuard;

/* Sets up the library's standard error manager with our error exit and
 * returns it, ready to be stored in a codec object's err field. */
struct jpeg_error_mgr* JpegGuardInit(JpegErrorGuard* guard);

/* Each wrapper returns 1 when the call completed and 0 when the library
 * raised an error, whose text is then in guard->message. */
int JpegGuardCreateDecompress(JpegErrorGuard* guard, j_decompress_ptr cinfo);
int JpegGuardReadHeader(JpegErrorGuard* guard, j_decompress_ptr cinfo);
int JpegGuardStartDecompress(JpegErrorGuard* guard, j_decompress_ptr cinfo);
int JpegGuardReadScanline(JpegErrorGuard* guard, j_decompress_ptr cinfo, JSAMPROW row);
int JpegGuardFinishDecompress(JpegErrorGuard* guard, j_decompress_ptr cinfo);
int JpegGuardCropScanline(JpegErrorGuard* guard, j_decompress_ptr cinfo, JDIMENSION* xoffset,
                          JDIMENSION* width);

int JpegGuardCreateCompress(JpegErrorGuard* guard, j_compress_ptr cinfo);
int JpegGuardSetDefaults(JpegErrorGuard* guard, j_compress_ptr cinfo);
int JpegGuardStartCompress(JpegErrorGuard* guard, j_compress_ptr cinfo);
int JpegGuardWriteScanline(JpegErrorGuard* guard, j_compress_ptr cinfo, JSAMPROW row);
int JpegGuardFinishCompress(JpegErrorGuard* guard, j_compress_ptr cinfo);

#ifdef __cplusplus
}
#endif

#endif /* TESSELOR_IMAGELIB_JPEG_ERROR_GUARD_H_ */
