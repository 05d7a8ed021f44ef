// The nearest-colour search of the true-colour BMP import: generated
// 2000x1500 24-bit pictures (a smooth gradient with noise: far more than 256
// colours, most of them repeated) imported through LoadDocument with the
// answers remembered per 24-bit colour (each found among the few entries
// that can be nearest in its 8x8x8 box) and with a full search per pixel.
// Both imports must give the same palette and pixels (the run fails
// otherwise); then both are timed and the speed-up printed per picture,
// beside the pixels per distinct colour: light noise leaves many repeats,
// heavy noise (like a photograph's) few.
//
// Run: frambo_nearest_bench [benchmark flags]
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "document/byte_buffer.h"
#include "document/document.h"
#include "formats/bmp_import.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"

namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 1500;
// One pixel in noiseEvery gets a random step of -spread..spread on every channel.
struct Picture {
  const char* label;
  int noiseEvery;
  int spread;
};
constexpr Picture kPictures[] = {{"light-noise", 16, 1}, {"heavy-noise", 4, 3}};

void PutLittleEndian(std::vector<uint8_t>* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// A bottom-up 24-bit BMP: red across, green down, blue along the diagonal,
// and the picture's noise.
// *distinct gets the number of distinct colours.
bool WriteGradientBmp(const Picture& picture, const std::string& path, uint32_t* distinct) {
  std::vector<bool> seen(1u << 24);
  *distinct = 0;
  const uint32_t rowBytes = (kWidth * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * kHeight;
  std::vector<uint8_t> bytes;
  bytes.reserve(54 + pixelBytes);
  bytes.push_back('B');
  bytes.push_back('M');
  PutLittleEndian(&bytes, 54 + pixelBytes, 4);
  PutLittleEndian(&bytes, 0, 4);
  PutLittleEndian(&bytes, 54, 4);
  PutLittleEndian(&bytes, 40, 4);
  PutLittleEndian(&bytes, kWidth, 4);
  PutLittleEndian(&bytes, kHeight, 4);
  PutLittleEndian(&bytes, 1, 2);
  PutLittleEndian(&bytes, 24, 2);
  for (int i = 0; i < 6; ++i) PutLittleEndian(&bytes, 0, 4);  // BI_RGB, sizes, resolution, table
  uint32_t random = 88172645u;
  for (int y = 0; y < kHeight; ++y) {
    size_t rowStart = bytes.size();
    for (int x = 0; x < kWidth; ++x) {
      int red = x * 255 / (kWidth - 1);
      int green = y * 255 / (kHeight - 1);
      int blue = (x + y) * 255 / (kWidth + kHeight - 2);
      if (NextRandom(&random) % picture.noiseEvery == 0) {
        uint32_t noise = NextRandom(&random);
        int steps = 2 * picture.spread + 1;
        red += static_cast<int>(noise % steps) - picture.spread;
        green += static_cast<int>(noise / steps % steps) - picture.spread;
        blue += static_cast<int>(noise / steps / steps % steps) - picture.spread;
      }
      uint8_t b = Clamp(blue), g = Clamp(green), r = Clamp(red);
      uint32_t key = static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
      if (!seen[key]) {
        seen[key] = true;
        ++*distinct;
      }
      bytes.insert(bytes.end(), {b, g, r});
    }
    while (bytes.size() - rowStart < rowBytes) bytes.push_back(0);
  }
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}

bool Import(const std::string& path, TrueColorSearch search) {
  ResetHeadlessUi();  // the recorded progress would grow with every run
  trueColorSearch = search;
  bool loaded = LoadDocument(path.c_str());
  trueColorSearch = TrueColorSearch::kRemembered;
  return loaded && doc.frameCount == 1;
}

// The imported frame's palette and stored rows.
struct Imported {
  std::vector<uint8_t> palette;
  std::vector<uint8_t> pixels;
  int16_t colorCount = 0;
};

bool TakePicture(Imported* picture) {
  const Frame& frame = *doc.frames[0];
  ByteBuffer block;
  if (!ReadFrameBlock(frame, &block)) return false;
  const uint8_t* palette = reinterpret_cast<const uint8_t*>(frame.palette);
  picture->palette.assign(palette, palette + sizeof frame.palette);
  picture->pixels.assign(block.data(), block.data() + static_cast<size_t>(RowStride(frame.width)) * frame.height);
  picture->colorCount = frame.colorCount;
  return true;
}

void BenchmarkImport(benchmark::State& state, const std::string& path, TrueColorSearch search) {
  for (auto _ : state) {
    if (!Import(path, search)) {
      state.SkipWithError("the picture could not be imported");
      break;
    }
  }
}

std::string BenchName(const Picture& picture, TrueColorSearch search) {
  return std::string("import/") + picture.label +
         (search == TrueColorSearch::kRemembered ? "/remembered" : "/per-pixel");
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  if (!OpenSwapFile()) {
    fprintf(stderr, "cannot create the swap file\n");
    return 1;
  }
  std::vector<std::string> paths;
  std::vector<uint32_t> distinct;
  bool ok = true;
  for (const Picture& picture : kPictures) {
    uint32_t colors = 0;
    std::string path = TempPathWithExtension(".bmp");
    if (path.empty() || !WriteGradientBmp(picture, path, &colors)) {
      fprintf(stderr, "cannot write the generated picture %s\n", picture.label);
      ok = false;
      break;
    }
    paths.push_back(path);
    distinct.push_back(colors);
    Imported remembered, perPixel;
    bool same = Import(path, TrueColorSearch::kRemembered) && TakePicture(&remembered) &&
                Import(path, TrueColorSearch::kPerPixel) && TakePicture(&perPixel) &&
                remembered.palette == perPixel.palette && remembered.pixels == perPixel.pixels &&
                remembered.colorCount == perPixel.colorCount;
    if (!same) {
      fprintf(stderr, "%s: the two searches gave different pictures (or the import failed)\n", picture.label);
      ok = false;
      break;
    }
    printf("%s: %u colours; both searches give the same %d-entry palette and %dx%d pixels\n", picture.label,
           colors, remembered.colorCount, kWidth, kHeight);
  }

  RunReporter reporter;
  if (ok) {
    for (size_t i = 0; i < paths.size(); ++i) {
      for (TrueColorSearch search : {TrueColorSearch::kRemembered, TrueColorSearch::kPerPixel}) {
        benchmark::RegisterBenchmark(BenchName(kPictures[i], search).c_str(), BenchmarkImport, paths[i], search)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
      }
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\nper-pixel / remembered import time:\n");
    for (size_t i = 0; i < paths.size(); ++i) {
      auto fast = reporter.milliseconds.find(BenchName(kPictures[i], TrueColorSearch::kRemembered));
      auto slow = reporter.milliseconds.find(BenchName(kPictures[i], TrueColorSearch::kPerPixel));
      if (fast == reporter.milliseconds.end() || slow == reporter.milliseconds.end() || fast->second <= 0) continue;
      printf("  %-12s %7.1f ms / %6.1f ms = %5.1fx  (pixels per colour %.1f)\n", kPictures[i].label, slow->second,
             fast->second, slow->second / fast->second, double(kWidth) * kHeight / distinct[i]);
    }
  }
  benchmark::Shutdown();
  CloseSwapFile();
  for (const std::string& path : paths) remove(path.c_str());
  return ok ? 0 : 1;
}
