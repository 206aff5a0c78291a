// Every picture format the program reads, one entry each: the rule that
// recognises a file of it, the decoder that reads it, and the names it goes
// by. A new format is a decoder and one more entry here.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "imagelib/pic_decoder.h"

namespace tesselor {

// What recognition looks at: the source's name, its first bytes and its size.
class FileHead {
 public:
  // The PICT rule looks at bytes 522 to 525, behind a 512-byte preamble, so
  // the look-ahead reaches past them.
  static constexpr int64_t kBytes = 526;

  // The first kBytes of what is left of source (fewer when it holds fewer).
  explicit FileHead(const CDataSource& source);
  // available bytes of data from a source of size bytes in all; bytes past
  // either never match.
  FileHead(std::string name, const uint8_t* data, int64_t available, int64_t size);

  const std::string& Name() const { return name_; }
  int64_t Size() const { return size_; }
  // Byte i, or -1 past the bytes there are.
  int At(int64_t i) const { return i < available_ ? data_[i] : -1; }
  bool Equals(int64_t offset, std::initializer_list<int> bytes) const;
  // The little-endian value at offset, 0 when it lies past the bytes there are.
  uint32_t DWordLE(int64_t offset) const;

 private:
  std::string name_;
  const uint8_t* data_;
  int64_t available_;
  int64_t size_;
};

struct ImageFormat {
  const char* name;                               // for messages and `tesselor-cli info`
  bool (*recognize)(const FileHead& head);        // holds when the file is in this format
  std::unique_ptr<CPicDecoder> (*makeDecoder)();  // a decoder that reads this format
  std::vector<std::string> extensions;            // lower case, without the dot
  // The EXIF orientation a file records (1 to 8, 1 when none), for formats
  // whose files carry one; data runs to the end of the file.
  int (*recordedOrientation)(const uint8_t* data, int64_t size) = nullptr;
};

// The formats in the order their rules are tried: the first whose rule holds
// reads the file, so a name rule placed early wins over the content.
const std::vector<ImageFormat>& ImageFormats();

// The first format whose rule holds, or null when none does.
const ImageFormat* RecognizeFormat(const FileHead& head);

// Which kind of metafile the decoder reads head as, as the table tells them
// apart: by its header, else by the file's own name.
bool ReadsAsEnhancedMetafile(const FileHead& head);

// format's name, or "unknown" for null.
const char* FormatName(const ImageFormat* format);

// True when path ends in "." and the extension of a format the program reads,
// in any letter case.
bool HasDecodedExtension(const std::string& path);

}  // namespace tesselor
