// The input file of a fuzz target: the readers read files, so every input is
// written to one temporary file for the whole run, named with the extension
// that makes the editor choose the reader under test. The file, its reserved
// name and the swap file are removed when the run ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "document/document.h"
#include "platform/temp_file.h"

namespace fuzz_input {

inline char reservedPath[4096];
inline char path[4096 + 16];

}  // namespace fuzz_input

inline const char* FuzzInputPath() { return fuzz_input::path; }

// Opens the swap file and makes the input's name; false when either fails.
// extension may be empty (the name then ends in the temporary name's own
// letters).
inline bool SetUpFuzzInput(const char* extension) {
  if (!OpenSwapFile() || !MakeTempFileName(fuzz_input::reservedPath, sizeof fuzz_input::reservedPath)) return false;
  snprintf(fuzz_input::path, sizeof fuzz_input::path, "%s%s", fuzz_input::reservedPath, extension);
  atexit([] {
    CloseSwapFile();
    remove(fuzz_input::path);
    remove(fuzz_input::reservedPath);
  });
  return true;
}

inline bool WriteFuzzInput(const uint8_t* data, size_t size) {
  FILE* file = fopen(fuzz_input::path, "wb");
  if (file == nullptr) return false;
  bool ok = fwrite(data, 1, size, file) == size;
  return fclose(file) == 0 && ok;
}
