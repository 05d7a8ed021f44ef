// Loading files into the document by the last letter of their names.
#include "document/load_file.h"

#include <cctype>
#include <cstring>

#include "document/document.h"
#include "document/gif_reader.h"
#include "document/ui_operations.h"

bool ReadFileByExtension(const char* path, int index) {
  CommitPendingChange();
  // BMP ('p') and JPEG ('g') imports come here; every other name is a GIF.
  bool ok = ReadGif(path, index);
  EndProgress();
  return ok;
}

bool LoadDocument(const char* path) {
  ClearDocument();
  RewindSwapFile();
  return ReadFileByExtension(path, 0);
}
