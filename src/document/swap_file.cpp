// SwapFile: positioned access to the document's swap file.
#include "document/swap_file.h"

#include <cstdio>

#include "document/file_calls.h"

bool SwapFile::Create() {
  if (handle_ > 0) FileClose(handle_);
  handle_ = FileCreate(path);
  return handle_ > 0;
}

void SwapFile::WriteAt(uint32_t offset, const void* source, int32_t count) {
  if (handle_ <= 0 || count <= 0) return;
  FileWriteAt(handle_, offset, source, static_cast<uint32_t>(count));
}

void SwapFile::ReadAt(uint32_t offset, void* destination, int32_t count) {
  if (handle_ <= 0 || count <= 0) return;
  FileReadAt(handle_, offset, destination, static_cast<uint32_t>(count));
}

void SwapFile::WriteBlockAt(uint32_t offset, const void* source, uint32_t count) {
  if (handle_ <= 0 || count == 0) return;
  FileWriteAt(handle_, offset, source, count);
}

void SwapFile::ReadBlockAt(uint32_t offset, void* destination, uint32_t count) {
  if (handle_ <= 0 || count == 0) return;
  FileReadAt(handle_, offset, destination, count);
}

void SwapFile::CloseAndRemove() {
  if (handle_ <= 0) return;
  FileClose(handle_);
  handle_ = -1;
  remove(path);
}
