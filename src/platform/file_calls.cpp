// The plain file calls: the C runtime's descriptor calls, in binary mode.
// Reads and writes loop until the whole count is moved, the end of the file
// is met or the call fails.
#include "platform/file_calls.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "platform/utf8_path.h"

namespace {

#ifdef _WIN32
constexpr int kBinary = O_BINARY;
constexpr int kCreateMode = _S_IREAD | _S_IWRITE;
#else
constexpr int kBinary = 0;
constexpr int kCreateMode = 0600;
#endif

// Larger transfers are split so that each call stays within an int.
constexpr uint32_t kChunk = 1u << 30;

// Bytes FileWrite may still write before it fails; -1 for no limit.
int64_t writeBudget = -1;

// Repeats step(done, n) -- which moves up to n bytes from position done and
// returns how many it moved, 0 at the end, negative on failure -- until count
// bytes are moved. Returns the bytes moved, or -1 when the first call failed.
template <typename Step>
int32_t Transfer(uint32_t count, Step step) {
  uint32_t done = 0;
  while (done < count) {
    uint32_t n = count - done < kChunk ? count - done : kChunk;
    long moved = step(done, n);
    if (moved < 0) return done ? static_cast<int32_t>(done) : -1;
    if (moved == 0) break;
    done += static_cast<uint32_t>(moved);
  }
  return static_cast<int32_t>(done);
}

// Sequential writing without the test seam, which only FileWrite applies.
int32_t WriteFully(int handle, const void* source, uint32_t count) {
  const uint8_t* in = static_cast<const uint8_t*>(source);
  return Transfer(count, [&](uint32_t done, uint32_t n) -> long { return write(handle, in + done, n); });
}

}  // namespace

#ifdef _WIN32
int FileOpenRead(const char* path) { return _wopen(Utf16(path).c_str(), O_RDONLY | kBinary); }

int FileCreate(const char* path) {
  return _wopen(Utf16(path).c_str(), O_RDWR | O_CREAT | O_TRUNC | kBinary, kCreateMode);
}
#else
int FileOpenRead(const char* path) { return open(path, O_RDONLY | kBinary); }

int FileCreate(const char* path) {
  return open(path, O_RDWR | O_CREAT | O_TRUNC | kBinary, kCreateMode);
}
#endif

int32_t FileRead(int handle, void* destination, uint32_t count) {
  uint8_t* out = static_cast<uint8_t*>(destination);
  return Transfer(count, [&](uint32_t done, uint32_t n) -> long { return read(handle, out + done, n); });
}

int32_t FileWrite(int handle, const void* source, uint32_t count) {
  if (writeBudget >= 0) {
    // The seam's full disk: what fits is written, the count comes back short.
    if (count > writeBudget) {
      if (writeBudget == 0) return -1;
      count = static_cast<uint32_t>(writeBudget);
    }
    writeBudget -= count;
  }
  return WriteFully(handle, source, count);
}

bool FileSeek(int handle, uint32_t offset) {
#ifdef _WIN32
  return _lseeki64(handle, static_cast<__int64>(offset), SEEK_SET) >= 0;
#else
  return lseek(handle, static_cast<off_t>(offset), SEEK_SET) >= 0;
#endif
}

#ifdef _WIN32
int32_t FileReadAt(int handle, uint32_t offset, void* destination, uint32_t count) {
  return FileSeek(handle, offset) ? FileRead(handle, destination, count) : -1;
}

int32_t FileWriteAt(int handle, uint32_t offset, const void* source, uint32_t count) {
  return FileSeek(handle, offset) ? WriteFully(handle, source, count) : -1;
}
#else
// One call instead of a seek and a transfer.
int32_t FileReadAt(int handle, uint32_t offset, void* destination, uint32_t count) {
  uint8_t* out = static_cast<uint8_t*>(destination);
  return Transfer(count, [&](uint32_t done, uint32_t n) -> long {
    return pread(handle, out + done, n, static_cast<off_t>(offset) + done);
  });
}

int32_t FileWriteAt(int handle, uint32_t offset, const void* source, uint32_t count) {
  const uint8_t* in = static_cast<const uint8_t*>(source);
  return Transfer(count, [&](uint32_t done, uint32_t n) -> long {
    return pwrite(handle, in + done, n, static_cast<off_t>(offset) + done);
  });
}
#endif

bool FileTruncate(int handle, uint32_t size) {
#ifdef _WIN32
  return _chsize_s(handle, static_cast<__int64>(size)) == 0;
#else
  return ftruncate(handle, static_cast<off_t>(size)) == 0;
#endif

}

bool FileClose(int handle) { return close(handle) == 0; }

void SetWriteFailureAfter(int64_t bytes) { writeBudget = bytes < 0 ? -1 : bytes; }
