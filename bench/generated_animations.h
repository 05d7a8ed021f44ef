// Generated animations of the kinds people make, for the reading and writing
// benchmark: photographic frames, flat cartoons, a screen recording, a
// dithered pan and a tiny icon, from 30x30 to 1024x768. Each is written with
// giflib's encoder, the same pixels on every run.
#pragma once

#include <gif_lib.h>

#include <cmath>
#include <string>
#include <vector>

#include "bench_support.h"

namespace generated {

// What every kind writes: its size, frames and how one frame looks.
struct Kind {
  const char* name;
  int width;
  int height;
  int frames;
  // Fills the rectangle of frame f that changes and says where it is;
  // pixels are width x height of the rectangle, row by row.
  void (*draw)(int f, int screenWidth, int screenHeight, int* left, int* top, int* width, int* height,
               std::vector<GifByteType>* pixels);
};

// Smooth light over a textured surface: nearly every index differs from its
// neighbour, as in quantised photographs.
inline void DrawPhoto(int f, int w, int h, int* left, int* top, int* width, int* height,
                      std::vector<GifByteType>* pixels) {
  *left = *top = 0;
  *width = w;
  *height = h;
  pixels->resize(size_t(w) * h);
  uint32_t random = 99991u + uint32_t(f) * 7919u;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double light = 96 + 80 * std::sin((x + 3 * f) * 0.021) * std::cos((y - 2 * f) * 0.017);
      int value = int(light) + int(NextRandom(&random) % 23) - 11;
      (*pixels)[size_t(y) * w + x] = GifByteType(value < 0 ? 0 : value > 255 ? 255 : value);
    }
}

// A few flat shapes moving over a flat sky and ground: long runs of one index.
inline void DrawCartoon(int f, int w, int h, int* left, int* top, int* width, int* height,
                        std::vector<GifByteType>* pixels) {
  *left = *top = 0;
  *width = w;
  *height = h;
  pixels->resize(size_t(w) * h);
  const int ball = (f * 9) % w;
  const int box = w - (f * 5) % w;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int value = y < h * 2 / 3 ? 10 : 20;
      int dx = x - ball, dy = y - h / 2;
      if (dx * dx + dy * dy < (h / 8) * (h / 8)) value = 30 + (dx * dx + dy * dy) / (h * h / 64 + 1) % 2;
      if (x > box - w / 6 && x < box && y > h / 3 && y < h / 3 + h / 5) value = 40;
      if (((x / 40) + (y / 40)) % 7 == 0 && y > h * 2 / 3) value = 21;
      (*pixels)[size_t(y) * w + x] = GifByteType(value);
    }
}

// A desktop picture in the first frame, then only the lines that a typist
// and a moving pointer change: small frames over a large screen.
inline void DrawScreen(int f, int w, int h, int* left, int* top, int* width, int* height,
                       std::vector<GifByteType>* pixels) {
  if (f == 0) {
    *left = *top = 0;
    *width = w;
    *height = h;
  } else {
    *left = 40 + (f * 37) % (w / 2);
    *top = 60 + (f * 16) % (h - 120);
    *width = 220 + f % 3 * 40;
    *height = 18;
  }
  pixels->resize(size_t(*width) * *height);
  for (int y = 0; y < *height; ++y)
    for (int x = 0; x < *width; ++x) {
      int sx = *left + x, sy = *top + y;
      int value = sy < 24 ? 3 : (sx % 300 < 4 || sy % 200 < 3) ? 5 : 255;
      // Glyph-like strokes on text lines.
      if (sy >= 24 && sy % 16 > 3 && sy % 16 < 13 && ((sx * 7 + sy * 3 + f * (sy % 5)) % 11) < 3) value = 0;
      (*pixels)[size_t(y) * *width + x] = GifByteType(value);
    }
}

// A gradient picture under an ordered dither, panning one way: the dither
// breaks every run and the pan changes every pixel.
inline void DrawDitheredPan(int f, int w, int h, int* left, int* top, int* width, int* height,
                            std::vector<GifByteType>* pixels) {
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  *left = *top = 0;
  *width = w;
  *height = h;
  pixels->resize(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int sx = x + f * 6;
      int level = ((sx * 5 + y * 3) % 1024) / 4 + (sx / 50 + y / 50) % 2 * 24;  // 0..279
      int value = level / 16 * 16 + (level % 16 > kBayer[y & 3][sx & 3] ? 16 : 0);
      (*pixels)[size_t(y) * w + x] = GifByteType(value > 255 ? 255 : value);
    }
}

// A 30x30 icon that blinks through a few flat states.
inline void DrawIcon(int f, int w, int h, int* left, int* top, int* width, int* height,
                     std::vector<GifByteType>* pixels) {
  *left = *top = 0;
  *width = w;
  *height = h;
  pixels->resize(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int dx = x - w / 2, dy = y - h / 2;
      int value = dx * dx + dy * dy < (4 + f % 8) * (4 + f % 8) ? 200 + f % 4 : 1;
      (*pixels)[size_t(y) * w + x] = GifByteType(value);
    }
}

const Kind kKinds[] = {
    {"photo-320x240x24", 320, 240, 24, DrawPhoto},
    {"cartoon-480x360x40", 480, 360, 40, DrawCartoon},
    {"screen-1024x768x60", 1024, 768, 60, DrawScreen},
    {"dithered-pan-400x300x30", 400, 300, 30, DrawDitheredPan},
    {"icon-30x30x16", 30, 30, 16, DrawIcon},
};

// Writes kind to path: the gradient table, a looping-free animation whose
// frames are left in place (disposal 1) with a delay of 5.
inline bool Write(const Kind& kind, const std::string& path) {
  GifFileType* gif = BeginGeneratedGif(path, kind.width, kind.height, 3);
  if (gif == nullptr) return false;
  bool ok = true;
  std::vector<GifByteType> pixels;
  for (int f = 0; ok && f < kind.frames; ++f) {
    int left = 0, top = 0, width = 0, height = 0;
    kind.draw(f, kind.width, kind.height, &left, &top, &width, &height, &pixels);
    const GifByteType control[4] = {4, 5, 0, 0};
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_OK &&
         EGifPutImageDesc(gif, left, top, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y)
      ok = EGifPutLine(gif, pixels.data() + size_t(y) * width, width) == GIF_OK;
  }
  int error = 0;
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  return ok;
}

}  // namespace generated
