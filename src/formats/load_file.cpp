// Loading files into the document by the last letter of their names.
#include "formats/load_file.h"

#include <cstring>

#include "document/document.h"
#include "document/ui_operations.h"
#include "formats/bmp_import.h"
#include "formats/gif_reader.h"
#include "formats/jpeg_import.h"

bool ReadFileByExtension(const char* path, int index) {
  CommitPendingChange();
  // The last character with bit 5 set, so that either case matches: "p"
  // (.bmp, and the clipboard's .tmp files) is a BMP, "g" (.jpg, .jpeg) a
  // JPEG, every other name a GIF.
  size_t length = strlen(path);
  char last = length > 0 ? static_cast<char>(path[length - 1] | 0x20) : '\0';
  bool ok = last == 'p' ? ImportBmp(path, index) : last == 'g' ? ImportJpeg(path, index) : ReadGif(path, index);
  EndProgress();
  return ok;
}

bool LoadDocument(const char* path) {
  ClearDocument();
  RewindSwapFile();
  return ReadFileByExtension(path, 0);
}
