// BufferedFile: reads a file front to back through an 8192-byte buffer and
// writes a file front to back without buffering. The program has one; the
// reader or writer that runs uses it.
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
  // Creates or truncates; a negative result means failure.
  int Create(const char* path);
  // Delivers up to n bytes; fewer only at the end of the file. -1 when no
  // file is open.
  int Read(void* destination, int n);
  // Writes n bytes; returns what was written, -1 when no file is open.
  int Write(const void* source, int n);
  // False when an open file could not be closed cleanly.
  bool Close();

  int handle() const { return handle_; }

 private:
  int handle_ = -1;
  int16_t count_ = 0;
  int16_t position_ = 0;
  uint8_t buffer_[8192];
};

// The program's one buffered file.
extern BufferedFile gifFile;
