// Coding a frame only to count its bytes.
#include "editing/coded_size.h"

#include <memory>

#include "document/document.h"
#include "formats/lzw_encoder.h"

namespace {

bool CountBytes(void* total, const uint8_t*, int count) {
  *static_cast<size_t*>(total) += static_cast<size_t>(count);
  return true;
}

}  // namespace

size_t CodedSize(const uint8_t* rows, int width, int height, int minCodeSize) {
  auto encoder = std::make_unique<LzwEncoder>();
  size_t total = 0;
  encoder->Begin(minCodeSize, CountBytes, &total);
  const int32_t stride = RowStride(width);
  for (int y = 0; y < height; ++y) encoder->Encode(rows + static_cast<size_t>(height - 1 - y) * stride, width);
  encoder->Finish();
  return total;
}
