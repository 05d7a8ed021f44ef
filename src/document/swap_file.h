// SwapFile: positioned access to the document's swap file. Every access
// names an absolute byte offset. Offsets are 32-bit: the document never lets
// data pass 4 GiB. Writes that follow one another are gathered in memory and
// go to the file together, as a reader appending many small frames makes
// them; reads see the gathered bytes.
#pragma once

#include <cstdint>

#include "document/byte_buffer.h"

class SwapFile {
 public:
  SwapFile() = default;
  SwapFile(const SwapFile&) = delete;
  SwapFile& operator=(const SwapFile&) = delete;
  ~SwapFile() { CloseAndRemove(); }

  // The full path of the file; set by whoever creates the swap file.
  char path[260] = {};

  // Creates (or truncates) the file at path. False when it cannot be created.
  bool Create();
  // Reads deliver index 0 (zero bytes) for any part never written.
  // Single rows and comment bytes.
  void WriteAt(uint32_t offset, const void* source, int32_t count);
  void ReadAt(uint32_t offset, void* destination, int32_t count);
  // Whole pixel blocks.
  void WriteBlockAt(uint32_t offset, const void* source, uint32_t count);
  void ReadBlockAt(uint32_t offset, void* destination, uint32_t count);
  // Cuts the file to size bytes: what lay beyond reads as zeros again.
  void Truncate(uint32_t size);
  // How far the file has been written: data at or beyond reads as zeros.
  uint64_t size() const { return size_; }
  // Closes the file and deletes it by its path; nothing when it never opened.
  void CloseAndRemove();

  bool IsOpen() const { return handle_ > 0; }

 private:
  void Grow(uint32_t offset, uint32_t count);
  void Write(uint32_t offset, const void* source, uint32_t count);
  // Sends the gathered writes to the file.
  void Flush();
  bool ReadGathered(uint32_t offset, void* destination, uint32_t count);

  // Writes up to this size are gathered; larger ones go straight through.
  static constexpr uint32_t kGatherSize = 512 * 1024;

  int handle_ = -1;
  uint64_t size_ = 0;
  ByteBuffer gathered_;          // kGatherSize once the first write came
  uint32_t gatheredOffset_ = 0;  // where its first byte goes
  uint32_t gatheredCount_ = 0;
};
