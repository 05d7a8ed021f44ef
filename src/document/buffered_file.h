// BufferedFile: reads or writes a file front to back through an 8192-byte
// buffer. The program has one; the reader or writer that runs uses it.
#pragma once

#include <cstdint>

class BufferedFile {
 public:
  BufferedFile() = default;
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;
  ~BufferedFile() { Close(); }

  // Opens read-only; a negative result means failure.
  int OpenRead(const char* path);
  // Takes over a file just made and open for writing (FileClose's kind).
  void AttachForWriting(int handle);
  // Delivers up to n bytes; fewer only at the end of the file. -1 when no
  // file is open.
  int Read(void* destination, int n);
  // Writes n bytes, through the buffer when they are few; returns n, fewer
  // once a write to the file has failed, -1 when no file is open.
  int Write(const void* source, int n);
  // False when an open file could not be closed cleanly, or buffered bytes
  // could not be written.
  bool Close();

  int handle() const { return handle_; }

 private:
  bool FlushWrites();

  int handle_ = -1;
  bool writing_ = false;
  bool writeFailed_ = false;
  int16_t count_ = 0;  // bytes in the buffer: read ahead, or waiting to be written
  int16_t position_ = 0;
  uint8_t buffer_[8192];
};

// The program's one buffered file.
extern BufferedFile gifFile;
