// The LZW string table.
#include "formats/lzw_table.h"

#include <cstring>

void LzwTable::Reset(int rootCount) {
  if (rootCount > kLzwMaxCodes) rootCount = kLzwMaxCodes;
  for (int i = rootsMade; i < rootCount; ++i) {
    prefix[i] = -1;
    suffix[i] = static_cast<uint8_t>(i);
    first[i] = static_cast<uint8_t>(i);
    length[i] = 1;
  }
  // Entries from rootCount on will be overwritten by this image's strings.
  rootsMade = rootCount;
}

void LzwTable::ResetHash() { memset(hashCode, 0xFF, sizeof hashCode); }
