// Recognises an image file by its first bytes (and metafiles by name).
#pragma once

#include <cstdint>
#include <string>

namespace tesselor {

enum class FileType {
  kUnknown = 0,
  kWindowsBitmap = 1,
  kMacPict = 2,
  kTga = 3,
  kTiff = 4,
  kJpeg = 5,
  kPng = 6,
  kEpsTiffPreview = 7,
  kWindowsMetafile = 8,
  kEnhancedMetafile = 9,
  kPcx = 10,
};

// Applies the content rules in order to the first `available` bytes of data
// (bytes past them never match) of a source of `size` bytes in all.
FileType RecognizeContent(const uint8_t* data, int64_t available, int64_t size);

// kWindowsMetafile or kEnhancedMetafile when the name holds ".wmf" or ".emf"
// (any case, anywhere), else kUnknown.
FileType RecognizeMetafileName(const std::string& name);

// A short name for messages and `tesselor-cli info`.
const char* FileTypeName(FileType type);

}  // namespace tesselor
