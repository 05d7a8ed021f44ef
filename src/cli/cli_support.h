// Helpers the commands of frambo-cli share: loading the input the way the
// editor opens a file, reading an entry's bytes back from the swap file, the
// usage text, and checked output files.
#pragma once

#include <cstdio>

#include "document/byte_buffer.h"
#include "document/document.h"

constexpr char kWriteErrorText[] = "Error in writing file";

// Prints the usage text of every command to err and returns kExitUsage.
int UsageError(FILE* err);

// Opens the swap file if it is not open yet, then loads path in place of the
// document as File/Open does. On failure the message the user would have
// seen ("Error in reading file") goes to err and false is returned.
bool LoadInput(const char* path, FILE* err);

// The arguments FILE OUTDIR of the commands that write one file per entry:
// loads FILE, makes OUTDIR and sets *folder. kExitOk, or the status to end with.
int LoadInputForFolder(int argc, char** argv, FILE* err, const char** folder);

// The stored rows of an image entry (RowStride(width) x height bytes,
// bottom-up) or the text of a comment entry, read back from the swap file.
// False when the memory cannot be had.
bool ReadEntryBytes(const Frame& frame, ByteBuffer* bytes);
// How many bytes ReadEntryBytes delivers for frame.
uint32_t EntryByteCount(const Frame& frame);

// A number written in decimal digits only, from low to high.
bool ParseDecimal(const char* text, long low, long high, int* value);

// Creates path and any missing parent folders; true when path is a folder.
bool MakeDirectories(const char* path);

// A file written front to back in binary mode. Every write is checked; the
// first failure sticks, and Close reports whether everything reached the disk.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  bool Open(const char* path);
  bool Write(const void* data, size_t count);
  // Closes the file; false when any write, the flush or the close failed.
  bool Close();

 private:
  FILE* file_ = nullptr;
  bool failed_ = false;
};
