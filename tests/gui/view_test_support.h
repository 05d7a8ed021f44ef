// What the view tests share: animations built byte by byte into scratch
// files, and the image view painted into memory, read back pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "gif_builder.h"
#include "gui_harness.h"
#include "editor/image_view.h"
#include "editor/shell_state.h"

// Ends gif with its trailer and writes it to the scratch file name.
inline std::string WriteGif(const std::string& name, GifBuilder& gif) {
  std::string path = ScratchFile(name);
  gif.Trailer();
  FILE* file = fopen(path.c_str(), "wb");
  if (file != nullptr) {
    fwrite(gif.bytes.data(), 1, gif.bytes.size(), file);
    fclose(file);
  }
  return path;
}

// The view painted into memory at its size: what a user sees there.
class PaintedView {
 public:
  PaintedView() {
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), viewWidth, -viewHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<const uint32_t*>(bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap_);
    PaintImageView(dc, viewWidth - 1, viewHeight - 1);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  ~PaintedView() { DeleteObject(bitmap_); }
  PaintedView(const PaintedView&) = delete;
  PaintedView& operator=(const PaintedView&) = delete;

  COLORREF At(int x, int y) const {
    uint32_t p = pixels_[y * viewWidth + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Pixels of the rectangle (inclusive) that are colour, or that are not
  // when unlike is set.
  int Count(int x0, int y0, int x1, int y1, COLORREF colour, bool unlike = false) const {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += (At(x, y) == colour) != unlike;
    return n;
  }

 private:
  HBITMAP bitmap_;
  const uint32_t* pixels_;
};
