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
  gatheredCount_ = 0;
  return handle_ > 0;
}

void SwapFile::WriteAt(uint32_t offset, const void* source, int32_t count) {
  if (handle_ <= 0 || count <= 0) return;
  Write(offset, source, static_cast<uint32_t>(count));
}

// A write that lands in or right behind the gathered bytes joins them while
// they fit (a later write over gathered bytes replaces them, as in the file);
// any other small write starts the gathering over, a large one goes to the
// file. Without memory to gather in, every write goes straight through.
void SwapFile::Write(uint32_t offset, const void* source, uint32_t count) {
  Grow(offset, count);
  if (gatheredCount_ > 0 && offset >= gatheredOffset_ && offset - gatheredOffset_ <= gatheredCount_ &&
      count <= kGatherSize - (offset - gatheredOffset_)) {
    const uint32_t at = offset - gatheredOffset_;
    memcpy(gathered_.data() + at, source, count);
    if (at + count > gatheredCount_) gatheredCount_ = at + count;
    return;
  }
  Flush();
  if (count < kGatherSize / 2 && (gathered_ || gathered_.Allocate(kGatherSize))) {
    memcpy(gathered_.data(), source, count);
    gatheredOffset_ = offset;
    gatheredCount_ = count;
    return;
  }
  FileWriteAt(handle_, offset, source, count);
}

void SwapFile::Flush() {
  if (gatheredCount_ == 0) return;
  FileWriteAt(handle_, gatheredOffset_, gathered_.data(), gatheredCount_);
  gatheredCount_ = 0;
}

// Before a read: a read that lies within the gathered bytes is served from
// them; one that overlaps them in part sends them to the file first.
bool SwapFile::ReadGathered(uint32_t offset, void* destination, uint32_t count) {
  if (gatheredCount_ == 0 || offset >= uint64_t{gatheredOffset_} + gatheredCount_ ||
      uint64_t{offset} + count <= gatheredOffset_)
    return false;
  if (offset >= gatheredOffset_ && uint64_t{offset} + count <= uint64_t{gatheredOffset_} + gatheredCount_) {
    memcpy(destination, gathered_.data() + (offset - gatheredOffset_), count);
    return true;
  }
  Flush();
  return false;
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
  if (ReadGathered(offset, destination, static_cast<uint32_t>(count))) return;
  int32_t got = handle_ > 0 ? FileReadAt(handle_, offset, destination, static_cast<uint32_t>(count)) : 0;
  ZeroTail(destination, got, static_cast<uint32_t>(count));
}

void SwapFile::WriteBlockAt(uint32_t offset, const void* source, uint32_t count) {
  if (handle_ <= 0 || count == 0) return;
  Write(offset, source, count);
}

void SwapFile::ReadBlockAt(uint32_t offset, void* destination, uint32_t count) {
  if (count == 0) return;
  if (ReadGathered(offset, destination, count)) return;
  int32_t got = handle_ > 0 ? FileReadAt(handle_, offset, destination, count) : 0;
  ZeroTail(destination, got, count);
}

void SwapFile::Truncate(uint32_t size) {
  if (handle_ <= 0 || !FileTruncate(handle_, size)) return;
  size_ = size;
  // Gathered bytes that the cut removed never need to be written.
  if (gatheredCount_ > 0 && size < uint64_t{gatheredOffset_} + gatheredCount_)
    gatheredCount_ = size > gatheredOffset_ ? size - gatheredOffset_ : 0;
}

void SwapFile::Grow(uint32_t offset, uint32_t count) {
  uint64_t end = static_cast<uint64_t>(offset) + count;
  if (end > size_) size_ = end;
}

void SwapFile::CloseAndRemove() {
  gatheredCount_ = 0;
  gathered_.Release();
  if (handle_ <= 0) return;
  FileClose(handle_);
  handle_ = -1;
  RemoveFile(path);
}
