// The plain file calls: the C runtime's descriptor calls, in binary mode.
// Reads and writes loop until the whole count is moved, the end of the file
// is met or the call fails.
#include "document/file_calls.h"

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
constexpr int kBinary = O_BINARY;
constexpr int kCreateMode = _S_IREAD | _S_IWRITE;
int RawRead(int fd, void* p, unsigned n) { return _read(fd, p, n); }
int RawWrite(int fd, const void* p, unsigned n) { return _write(fd, p, n); }
#else
constexpr int kBinary = 0;
constexpr int kCreateMode = 0600;
int RawRead(int fd, void* p, unsigned n) { return static_cast<int>(read(fd, p, n)); }
int RawWrite(int fd, const void* p, unsigned n) { return static_cast<int>(write(fd, p, n)); }
#endif

// Larger transfers are split so that each call stays within an int.
constexpr uint32_t kChunk = 1u << 30;

}  // namespace

int FileOpenRead(const char* path) { return open(path, O_RDONLY | kBinary); }

int FileCreate(const char* path) {
  return open(path, O_RDWR | O_CREAT | O_TRUNC | kBinary, kCreateMode);
}

int32_t FileRead(int handle, void* destination, uint32_t count) {
  uint8_t* out = static_cast<uint8_t*>(destination);
  uint32_t done = 0;
  while (done < count) {
    uint32_t n = count - done < kChunk ? count - done : kChunk;
    int got = RawRead(handle, out + done, n);
    if (got < 0) return done ? static_cast<int32_t>(done) : -1;
    if (got == 0) break;
    done += static_cast<uint32_t>(got);
  }
  return static_cast<int32_t>(done);
}

int32_t FileWrite(int handle, const void* source, uint32_t count) {
  const uint8_t* in = static_cast<const uint8_t*>(source);
  uint32_t done = 0;
  while (done < count) {
    uint32_t n = count - done < kChunk ? count - done : kChunk;
    int put = RawWrite(handle, in + done, n);
    if (put <= 0) return done ? static_cast<int32_t>(done) : -1;
    done += static_cast<uint32_t>(put);
  }
  return static_cast<int32_t>(done);
}

bool FileSeek(int handle, uint32_t offset) {
#ifdef _WIN32
  return _lseeki64(handle, static_cast<__int64>(offset), SEEK_SET) >= 0;
#else
  return lseek(handle, static_cast<off_t>(offset), SEEK_SET) >= 0;
#endif
}

void FileClose(int handle) {
#ifdef _WIN32
  _close(handle);
#else
  close(handle);
#endif
}
