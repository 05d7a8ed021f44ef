// The LZW string table.
#include "document/lzw_table.h"

#include <cstring>

void LzwTable::Reset(int rootCount) {
  if (rootCount > kLzwMaxCodes) rootCount = kLzwMaxCodes;
  for (int i = 0; i < rootCount; ++i) {
    prefix[i] = -1;
    suffix[i] = static_cast<uint8_t>(i);
    first[i] = static_cast<uint8_t>(i);
  }
  memset(hashCode, 0xFF, sizeof hashCode);
}
