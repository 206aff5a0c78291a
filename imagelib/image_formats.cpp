#include "imagelib/image_formats.h"

#include <algorithm>

#include "imagelib/bmp_decoder.h"
#include "imagelib/byte_order.h"
#include "imagelib/eps_decoder.h"
#include "imagelib/exif_orientation.h"
#include "imagelib/heif_decoder.h"
#include "imagelib/jpeg_decoder.h"
#include "imagelib/pcx_decoder.h"
#include "imagelib/pict_decoder.h"
#include "imagelib/png_decoder.h"
#include "imagelib/tga_decoder.h"
#include "imagelib/tiff_decoder.h"
#include "imagelib/webp_decoder.h"
#include "imagelib/wemf_decoder.h"
#include "platform/directory_listing.h"

namespace tesselor {

FileHead::FileHead(const CDataSource& source)
    : FileHead(source.Name(), source.Peek(), std::min(kBytes, source.BytesLeft()), source.Size()) {}

FileHead::FileHead(std::string name, const uint8_t* data, int64_t available, int64_t size)
    : name_(std::move(name)), data_(data), available_(std::min(available, size)), size_(size) {}

bool FileHead::Equals(int64_t offset, std::initializer_list<int> bytes) const {
  int64_t i = offset;
  for (int b : bytes)
    if (At(i++) != b) return false;
  return true;
}

uint32_t FileHead::DWordLE(int64_t offset) const {
  if (offset + 4 > available_) return 0;
  return LittleEndian32(data_ + offset);
}

namespace {

bool OneOf(int value, std::initializer_list<int> choices) {
  return std::find(choices.begin(), choices.end(), value) != choices.end();
}

// Only the file's own name counts: a photo in "photos.wmf.d/" is a photo.
bool OwnNameHolds(const FileHead& head, const char* upperText) {
  const std::string& name = head.Name();
  const size_t slash = name.find_last_of('/');
  const std::string own = slash == std::string::npos ? name : name.substr(slash + 1);
  return ToUpperAscii(own).find(upperText) != std::string::npos;
}

uint16_t WordLE(const FileHead& head, int64_t offset) {
  return static_cast<uint16_t>(head.At(offset) | head.At(offset + 1) << 8);
}

// The placeable key, or a metafile header: a memory or disk type, a header
// of 9 words and one of the two versions GDI writes.
bool HasWindowsMetafileHeader(const FileHead& head) {
  if (head.Equals(0, {0xD7, 0xCD, 0xC6, 0x9A})) return true;
  if (head.At(5) < 0) return false;
  const uint16_t type = WordLE(head, 0), version = WordLE(head, 4);
  return (type == 1 || type == 2) && WordLE(head, 2) == 9 &&
         (version == 0x0100 || version == 0x0300);
}

// The header record (type 1) with the " EMF" signature at byte 40.
bool HasEnhancedMetafileHeader(const FileHead& head) {
  return head.Equals(0, {1, 0, 0, 0}) && head.Equals(40, {0x20, 0x45, 0x4D, 0x46});
}

// A metafile's own header decides its kind; a name only speaks for data
// without one.
bool IsWindowsMetafile(const FileHead& head) {
  return HasWindowsMetafileHeader(head) ||
         (OwnNameHolds(head, ".WMF") && !HasEnhancedMetafileHeader(head));
}

bool IsEnhancedMetafile(const FileHead& head) {
  return HasEnhancedMetafileHeader(head) || OwnNameHolds(head, ".EMF");
}

bool IsWindowsBitmap(const FileHead& head) {
  return head.Equals(0, {0x42, 0x4D});
}

bool IsTga(const FileHead& head) {
  return head.At(1) >= 0 && head.At(1) <= 1 && OneOf(head.At(2), {0, 1, 2, 3, 9, 10, 11}) &&
         OneOf(head.At(7), {0, 8, 15, 16, 24, 32}) && OneOf(head.At(16), {8, 15, 16, 24, 32});
}

bool IsTiff(const FileHead& head) {
  return head.Equals(0, {0x49, 0x49, 0x2A, 0x00}) || head.Equals(0, {0x4D, 0x4D, 0x00, 0x2A});
}

bool IsPict(const FileHead& head) {
  return head.Size() > 540 &&
         (head.Equals(522, {0x00, 0x11, 0x02, 0xFF}) || head.Equals(522, {0x00, 0x11, 0x01}) ||
          head.Equals(522, {0x11, 0x01, 0x01, 0x00}));
}

bool IsJpeg(const FileHead& head) {
  return head.Equals(0, {0xFF, 0xD8, 0xFF});
}

bool IsPng(const FileHead& head) {
  return head.Equals(0, {0x89, 'P', 'N', 'G'});
}

// Offset and length of the TIFF preview must both be set.
bool IsEpsWithTiff(const FileHead& head) {
  return (head.Equals(0, {0xC5, 0xD0, 0xD3, 0xC6}) || head.Equals(0, {0xC6, 0xD3, 0xD0, 0xC5})) &&
         head.DWordLE(20) != 0 && head.DWordLE(24) != 0;
}

bool IsPcx(const FileHead& head) {
  return head.At(0) == 0x0A && head.At(2) == 1;
}

bool IsWebp(const FileHead& head) {
  return head.Equals(0, {'R', 'I', 'F', 'F'}) && head.Equals(8, {'W', 'E', 'B', 'P'});
}

// HEIF files are ISO media files whose first box, "ftyp", names the brands
// they follow: the major brand, a version, then compatible brands.
bool HasBrand(const FileHead& head, std::initializer_list<const char*> brands) {
  if (!head.Equals(4, {'f', 't', 'y', 'p'})) return false;
  const int64_t boxEnd =
      int64_t{head.At(0)} << 24 | head.At(1) << 16 | head.At(2) << 8 | head.At(3);
  for (int64_t at = 8; at + 4 <= std::min<int64_t>(boxEnd, FileHead::kBytes); at += at == 8 ? 8 : 4)
    for (const char* brand : brands)
      if (head.Equals(at, {brand[0], brand[1], brand[2], brand[3]})) return true;
  return false;
}

bool IsAvif(const FileHead& head) {
  return HasBrand(head, {"avif", "avis"});
}

bool IsHeif(const FileHead& head) {
  return HasBrand(head, {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1"});
}

template <class Decoder>
std::unique_ptr<CPicDecoder> Make() {
  return std::make_unique<Decoder>();
}

// PICT pictures may carry JPEG data, so their decoder comes with one for it.
class PictWithJpegDecoder : public CPicDecoder {
 public:
  void DecodeImage(CBmp& bmp, ColourTable& palette, int& bitsPerPixel,
                   CDataSource& source) override {
    pictDecoder_.DecodeImage(bmp, palette, bitsPerPixel, source);
  }

 private:
  CJPEGDecoder jpegDecoder_;
  CPictDecoder pictDecoder_{&jpegDecoder_};
};

}  // namespace

const std::vector<ImageFormat>& ImageFormats() {
  // Metafiles come first: their headers are strict (an enhanced metafile's
  // can pass the looser TGA test) and their names speak for them too.
  static const std::vector<ImageFormat> formats{
      {"Windows metafile", IsWindowsMetafile, Make<CWEMFDecoder>, {"wmf"}},
      {"Enhanced metafile", IsEnhancedMetafile, Make<CWEMFDecoder>, {"emf"}},
      {"Windows bitmap", IsWindowsBitmap, Make<CBmpDecoder>, {"bmp", "dib"}},
      {"TGA", IsTga, Make<CTGADecoder>, {"tga"}},
      {"TIFF", IsTiff, Make<CTIFFDecoder>, {"tif", "tiff"}},
      {"Macintosh PICT", IsPict, Make<PictWithJpegDecoder>, {"pct", "pict"}},
      {"JPEG", IsJpeg, Make<CJPEGDecoder>, {"jpg", "jpeg", "jpe"}, OrientationInJpeg},
      {"PNG", IsPng, Make<CPNGDecoder>, {"png"}},
      {"EPS with TIFF preview", IsEpsWithTiff, Make<CEPSDecoder>, {"eps"}},
      {"PCX", IsPcx, Make<CPCXDecoder>, {"pcx"}},
      {"WebP", IsWebp, Make<CWebPDecoder>, {"webp"}, OrientationInWebp},
      // AVIF files often list the HEIF brand "mif1" as well.
      {"AVIF", IsAvif, Make<CHEIFDecoder>, {"avif"}},
      {"HEIF", IsHeif, Make<CHEIFDecoder>, {"heic", "heif", "hif"}},
  };
  return formats;
}

bool ReadsAsEnhancedMetafile(const FileHead& head) {
  return !IsWindowsMetafile(head) && IsEnhancedMetafile(head);
}

const ImageFormat* RecognizeFormat(const FileHead& head) {
  for (const ImageFormat& format : ImageFormats())
    if (format.recognize(head)) return &format;
  return nullptr;
}

const char* FormatName(const ImageFormat* format) {
  return format ? format->name : "unknown";
}

bool HasDecodedExtension(const std::string& path) {
  const size_t dot = path.find_last_of("./");
  if (dot == std::string::npos || path[dot] != '.') return false;
  const std::string extension = ToLowerAscii(path.substr(dot + 1));
  for (const ImageFormat& format : ImageFormats())
    if (std::find(format.extensions.begin(), format.extensions.end(), extension) !=
        format.extensions.end())
      return true;
  return false;
}

}  // namespace tesselor
