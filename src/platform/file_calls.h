// The plain file calls under BufferedFile and SwapFile: open, create, read,
// write, absolute seek and close on binary files, with 64-bit offsets so that
// the swap file's 32-bit offsets are usable in full on every build.
#pragma once

#include <cstdint>

int FileOpenRead(const char* path);  // negative on failure
int FileCreate(const char* path);    // truncates or creates; negative on failure
int32_t FileRead(int handle, void* destination, uint32_t count);
int32_t FileWrite(int handle, const void* source, uint32_t count);
bool FileSeek(int handle, uint32_t offset);
// Positioned transfers: the same as a seek followed by a read or write.
int32_t FileReadAt(int handle, uint32_t offset, void* destination, uint32_t count);
int32_t FileWriteAt(int handle, uint32_t offset, const void* source, uint32_t count);
// Cuts or extends the file to size bytes; false when that fails.
bool FileTruncate(int handle, uint32_t size);
// False when the file could not be closed cleanly (e.g. data that could not
// be written after all).
bool FileClose(int handle);

// Test seam: after this many more bytes, FileWrite fails as on a full disk
// (writes what fits and reports the short count); FileWriteAt, the swap
// file's call, is not affected. -1 turns it off.
void SetWriteFailureAfter(int64_t bytes);

// Owns a handle from FileOpenRead and closes it when it goes.
class ReadHandle {
 public:
  explicit ReadHandle(const char* path) : handle_(FileOpenRead(path)) {}
  ~ReadHandle() {
    if (handle_ >= 0) FileClose(handle_);
  }
  ReadHandle(const ReadHandle&) = delete;
  ReadHandle& operator=(const ReadHandle&) = delete;
  int get() const { return handle_; }

 private:
  int handle_;
};
