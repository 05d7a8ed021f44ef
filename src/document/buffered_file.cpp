// BufferedFile: front-to-back reading through an 8192-byte buffer, and
// unbuffered front-to-back writing.
#include "document/buffered_file.h"

#include <cstring>

#include "platform/file_calls.h"

BufferedFile gifFile;

int BufferedFile::OpenRead(const char* path) {
  Close();
  handle_ = FileOpenRead(path);
  count_ = 0;
  position_ = 0;
  return handle_;
}

int BufferedFile::Create(const char* path) {
  Close();
  handle_ = FileCreate(path);
  return handle_;
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

int BufferedFile::Write(const void* source, int n) {
  if (handle_ < 0) return -1;
  if (n <= 0) return 0;
  return FileWrite(handle_, source, static_cast<uint32_t>(n));
}

bool BufferedFile::Close() {
  bool closed = handle_ < 0 || FileClose(handle_);
  handle_ = -1;
  count_ = 0;
  position_ = 0;
  return closed;
}
