// Where decoders read from: a block that already holds the whole input,
// handed out by pointer, with accounting that stops reads past the end.
#pragma once

#include <cstdint>
#include <string>

namespace tesselor {

class ProgressNotifier {
 public:
  virtual ~ProgressNotifier() = default;
  virtual void OnProgress(double fraction) = 0;
};

class CDataSource {
 public:
  explicit CDataSource(ProgressNotifier* notifier = nullptr) : progressNotifier_(notifier) {}
  virtual ~CDataSource() = default;
  CDataSource(const CDataSource&) = delete;
  CDataSource& operator=(const CDataSource&) = delete;

  virtual void Open(const std::string& name, int64_t size);
  virtual void Close();

  // The next unread bytes, nothing consumed. The caller may look at no more
  // than BytesLeft() of them.
  virtual const uint8_t* Peek() const { return CurrentPointer(); }
  // The next count bytes, which are then consumed. Throws code 11 when fewer
  // are left; the pointer for a failed read is never handed out.
  virtual const uint8_t* ReadBytes(int64_t count);
  virtual const uint8_t* CurrentPointer() const = 0;

  const std::string& Name() const { return name_; }
  int64_t Size() const { return size_; }
  int64_t BytesRead() const { return bytesRead_; }
  int64_t BytesLeft() const { return size_ - bytesRead_; }
  // For decoders that read the block directly and report progress themselves.
  ProgressNotifier* Notifier() const { return progressNotifier_; }

  // Little-endian readers built on ReadBytes.
  uint8_t ReadByte() { return *ReadBytes(1); }
  uint16_t ReadWordLE();
  uint32_t ReadDWordLE();

 protected:
  // The accounting every concrete ReadBytes runs before it advances.
  void Account(int64_t count);

 private:
  std::string name_;
  int64_t size_ = 0;
  int64_t bytesRead_ = 0;
  ProgressNotifier* progressNotifier_;
};

// A source over bytes someone else owns (tests, resources, embedded data).
class CMemorySource : public CDataSource {
 public:
  CMemorySource(const uint8_t* data, int64_t size, const std::string& name);
  const uint8_t* CurrentPointer() const override { return data_ + BytesRead(); }

 private:
  const uint8_t* data_;
};

}  // namespace tesselor
