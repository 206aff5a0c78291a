// Picture files written line by line as the picture is made, so that one far
// larger than memory can be written: PNG and deflate-compressed TIFF (BigTIFF
// once the file could pass 4 GB). The file appears whole under its name on
// Commit, or not at all: abandoned, or after a failure, the target stays as it
// was and no temporary file is left.
#pragma once

#include <memory>
#include <string>

#include "imagelib/bmp.h"
#include "imagelib/picture_writer.h"
#include "imagelib/row_sink.h"
#include "platform/atomic_file.h"

namespace tesselor {

class PictureFileWriter : public RowSink {
 public:
  // Every line of the picture must have been written. Throws FileError.
  virtual void Commit() = 0;
};

// Whether pictures of type are written line by line (PNG and TIFF).
bool IsLineWritten(PictureType type);

// A writer for a width x height picture of 24-bit colour at path, of a type
// written line by line. Throws FileError when the file cannot be created.
std::unique_ptr<PictureFileWriter> OpenPictureFileWriter(const std::string& path, PictureType type,
                                                         int width, int height);

// Writes every line of a 32-bit bitmap through a writer and commits it.
void WriteBitmapLines(const CBmp& bmp, PictureFileWriter& writer);

// For the writers: removes the temporary file and throws FileError(path,
// cause), leaving the target as it was.
[[noreturn]] void AbandonPicture(AtomicFile& file, const std::string& path,
                                 const std::string& cause);

std::unique_ptr<PictureFileWriter> OpenPngWriter(const std::string& path, int width, int height);
std::unique_ptr<PictureFileWriter> OpenTiffWriter(const std::string& path, int width, int height);

}  // namespace tesselor
