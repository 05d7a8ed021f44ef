// SwapFile: positioned access to the document's swap file.
#include "document/swap_file.h"

#include <cstdio>
#include <cstring>

#include "platform/file_calls.h"
#include "platform/utf8_path.h"

bool SwapFile::Create() {
  if (handle_ > 0) FileClose(handle_);
  handle_ = FileCreate(path);
  size_ = 0;
  return handle_ > 0;
}

void SwapFile::WriteAt(uint32_t offset, const void* source, int32_t count) {
  if (handle_ <= 0 || count <= 0) return;
  FileWriteAt(handle_, offset, source, static_cast<uint32_t>(count));
  Grow(offset, static_cast<uint32_t>(count));
}

namespace {

// Zeroes what a read did not deliver: the part of the range past the end of
// the file, which was never written.
void ZeroTail(void* destination, int32_t got, uint32_t count) {
  uint32_t delivered = got > 0 ? static_cast<uint32_t>(got) : 0;
  if (delivered < count) memset(static_cast<uint8_t*>(destination) + delivered, 0, count - delivered);
}

}  // namespace

void SwapFile::ReadAt(uint32_t offset, void* destination, int32_t count) {
  if (count <= 0) return;
  int32_t got = handle_ > 0 ? FileReadAt(handle_, offset, destination, static_cast<uint32_t>(count)) : 0;
  ZeroTail(destination, got, static_cast<uint32_t>(count));
}

void SwapFile::WriteBlockAt(uint32_t offset, const void* source, uint32_t count) {
  if (handle_ <= 0 || count == 0) return;
  FileWriteAt(handle_, offset, source, count);
  Grow(offset, count);
}

void SwapFile::ReadBlockAt(uint32_t offset, void* destination, uint32_t count) {
  if (count == 0) return;
  int32_t got = handle_ > 0 ? FileReadAt(handle_, offset, destination, count) : 0;
  ZeroTail(destination, got, count);
}

void SwapFile::Truncate(uint32_t size) {
  if (handle_ > 0 && FileTruncate(handle_, size)) size_ = size;
}

void SwapFile::Grow(uint32_t offset, uint32_t count) {
  uint64_t end = static_cast<uint64_t>(offset) + count;
  if (end > size_) size_ = end;
}

void SwapFile::CloseAndRemove() {
  if (handle_ <= 0) return;
  FileClose(handle_);
  handle_ = -1;
  RemoveFile(path);
}
