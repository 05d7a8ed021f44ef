// LZW decoding of one GIF image's data sub-blocks into a RowWriter.
#pragma once

#include <cstdint>

#include "document/buffered_file.h"
#include "formats/lzw_table.h"
#include "formats/row_writer.h"

// The image's data sub-blocks, read one at a time into a 256-byte buffer.
struct CodeSource {
  BufferedFile* file = nullptr;
  uint8_t* block = nullptr;  // at least 256 bytes
  int length = 0;            // bytes of the current sub-block
  int index = 0;             // next byte to take
  bool fileEnded = false;    // the file ended inside the data

  // Reads the next sub-block: its length (> 0), 0 for the terminator, -1
  // when the file has ended. A sub-block cut short by the end of the file
  // still delivers the bytes it has.
  int Next();
  // Passes over the remaining sub-blocks up to and including the terminator.
  void SkipRest();
};

enum class LzwEnd {
  kEndCode,    // the end code arrived; sub-blocks may remain
  kEndOfData,  // the terminator arrived before the end code
  kFileEnded,  // the file ended inside the data
  kBadCode,    // a code beyond the table: the data can't be trusted from here
};

// Decodes from the sub-block already loaded in source. minCodeSize is 1..12.
LzwEnd DecodeLzw(LzwTable& table, int minCodeSize, CodeSource& source, RowWriter& rows);
