// BufferedFile: front-to-back reading and writing through an 8192-byte
// buffer.
#include "document/buffered_file.h"

#include <cstring>

#include "platform/file_calls.h"

BufferedFile gifFile;

int BufferedFile::OpenRead(const char* path) {
  Close();
  handle_ = FileOpenRead(path);
  writing_ = false;
  count_ = 0;
  position_ = 0;
  return handle_;
}

void BufferedFile::AttachForWriting(int handle) {
  Close();
  handle_ = handle;
  writing_ = handle_ >= 0;
}

// Hands out what the buffer holds, refills it once when that is not enough,
// and hands out the rest; a short count therefore means the end of the file.
int BufferedFile::Read(void* destination, int n) {
  if (handle_ < 0) return -1;
  if (n <= 0) return 0;
  uint8_t* out = static_cast<uint8_t*>(destination);
  int first = 0;
  if (count_ > position_) {
    first = count_ - position_ < n ? count_ - position_ : n;
    memcpy(out, buffer_ + position_, first);
    position_ = static_cast<int16_t>(position_ + first);
  }
  if (first == n) return first;
  int32_t got = FileRead(handle_, buffer_, sizeof buffer_);
  count_ = static_cast<int16_t>(got > 0 ? got : 0);
  position_ = 0;
  if (count_ < 1) return first;
  int second = n - first < count_ ? n - first : count_;
  memcpy(out + first, buffer_, second);
  position_ = static_cast<int16_t>(second);
  return first + second;
}

// Few bytes wait in the buffer; many go to the file at once, after what
// waits.
int BufferedFile::Write(const void* source, int n) {
  if (handle_ < 0) return -1;
  if (n <= 0) return 0;
  if (writeFailed_) return 0;
  if (count_ + n <= static_cast<int>(sizeof buffer_)) {
    memcpy(buffer_ + count_, source, static_cast<size_t>(n));
    count_ = static_cast<int16_t>(count_ + n);
    return n;
  }
  if (!FlushWrites()) return 0;
  if (n < static_cast<int>(sizeof buffer_)) {
    memcpy(buffer_, source, static_cast<size_t>(n));
    count_ = static_cast<int16_t>(n);
    return n;
  }
  int written = FileWrite(handle_, source, static_cast<uint32_t>(n));
  if (written != n) writeFailed_ = true;
  return written;
}

bool BufferedFile::FlushWrites() {
  if (count_ == 0) return !writeFailed_;
  if (FileWrite(handle_, buffer_, static_cast<uint32_t>(count_)) != count_) writeFailed_ = true;
  count_ = 0;
  return !writeFailed_;
}

bool BufferedFile::Close() {
  bool flushed = !writing_ || FlushWrites();
  bool closed = handle_ < 0 || FileClose(handle_);
  handle_ = -1;
  writing_ = false;
  writeFailed_ = false;
  count_ = 0;
  position_ = 0;
  return flushed && closed;
}
