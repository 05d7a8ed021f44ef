// Crop to dirty rectangles against giflib. A generated animation of 100
// full-size 640x480 frames, where a small sprite moves over a still
// background, is cropped pair by pair with CropToDirty (the document
// reloaded with the clock stopped before each run). The references, measured
// in the same run: giflib reading the same file (DGifSlurp), and the plain
// bounding box of the indices that differ between giflib's decoded frames,
// in memory. Printed as milliseconds per run, then ratios.
//
// Run: frambo_crop_bench [benchmark flags]
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "document/document.h"
#include "editing/dirty_rectangles.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrames = 100;
constexpr int kSprite = 48;  // side of the moving square

// A still diagonal background and a square that moves a few pixels a frame.
GifByteType PixelAt(int frame, int x, int y) {
  const int spriteLeft = 20 + frame * 5;
  const int spriteTop = 40 + (frame * 3) % (kHeight - kSprite - 40);
  if (x >= spriteLeft && x < spriteLeft + kSprite && y >= spriteTop && y < spriteTop + kSprite)
    return static_cast<GifByteType>(200 + ((x - spriteLeft) ^ (y - spriteTop)) % 56);
  return static_cast<GifByteType>((x + y) / 8 % 200);
}

bool WriteAnimation(const std::string& path) {
  GifFileType* gif = BeginGeneratedGif(path, kWidth, kHeight, 5);
  if (gif == nullptr) return false;
  bool ok = true;
  std::vector<GifByteType> row(kWidth);
  for (int f = 0; ok && f < kFrames; ++f) {
    const GifByteType control[4] = {4, 5, 0, 0};  // disposal 1, delay 5
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) row[x] = PixelAt(f, x, y);
      ok = EGifPutLine(gif, row.data(), kWidth) == GIF_OK;
    }
  }
  int error = 0;
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  return ok;
}

void BenchmarkCrop(benchmark::State& state, const std::string& path) {
  int cropped = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ResetHeadlessUi();
    bool loaded = LoadDocument(path.c_str());
    state.ResumeTiming();
    if (!loaded || CountImageFrames() != kFrames) {
      state.SkipWithError("the generated file could not be read");
      break;
    }
    cropped = 0;
    for (int later = PreviousImageFrame(doc.frameCount), earlier = PreviousImageFrame(later); earlier >= 0;
         later = earlier, earlier = PreviousImageFrame(later))
      cropped += CropToDirty(later, earlier) ? 1 : 0;
  }
  state.counters["cropped"] = cropped;
}

void BenchmarkGiflibRead(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    bool ok = gif != nullptr && DGifSlurp(gif) == GIF_OK;
    if (gif != nullptr) DGifCloseFile(gif, &error);
    if (!ok) {
      state.SkipWithError("giflib could not read the file");
      break;
    }
  }
}

// The bounding box of differing indices between each frame and the one
// before, over giflib's decoded frames (same global palette, same size).
void BenchmarkBoundingBoxDiff(benchmark::State& state, const std::string& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
    if (gif != nullptr) DGifCloseFile(gif, &error);
    state.SkipWithError("giflib could not read the file");
    return;
  }
  long area = 0;
  for (auto _ : state) {
    area = 0;
    for (int f = gif->ImageCount - 1; f > 0; --f) {
      const GifByteType* a = gif->SavedImages[f].RasterBits;
      const GifByteType* b = gif->SavedImages[f - 1].RasterBits;
      int left = kWidth, right = -1, top = kHeight, bottom = -1;
      for (int y = 0; y < kHeight; ++y) {
        const GifByteType* ra = a + static_cast<size_t>(y) * kWidth;
        const GifByteType* rb = b + static_cast<size_t>(y) * kWidth;
        for (int x = 0; x < kWidth; ++x) {
          if (ra[x] == rb[x]) continue;
          if (x < left) left = x;
          if (x > right) right = x;
          if (y < top) top = y;
          bottom = y;
        }
      }
      if (right >= 0) area += static_cast<long>(right - left + 1) * (bottom - top + 1);
    }
    benchmark::DoNotOptimize(area);
  }
  state.counters["area"] = static_cast<double>(area);
  DGifCloseFile(gif, &error);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  const std::string path = WriteGeneratedAnimation(WriteAnimation);
  if (path.empty()) return 1;
  if (!OpenSwapFile()) {
    fprintf(stderr, "cannot create the swap file\n");
    remove(path.c_str());
    return 1;
  }
  const std::string& file = path;
  benchmark::RegisterBenchmark("ours/crop-to-dirty", BenchmarkCrop, file)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("giflib/read", BenchmarkGiflibRead, file)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("giflib/bounding-box-diff", BenchmarkBoundingBoxDiff, file)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  RunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  CloseSwapFile();
  remove(path.c_str());

  auto ms = [&](const char* name) {
    auto it = reporter.milliseconds.find(name);
    return it == reporter.milliseconds.end() ? 0.0 : it->second;
  };
  const double ours = ms("ours/crop-to-dirty");
  const double read = ms("giflib/read");
  const double diff = ms("giflib/bounding-box-diff");
  printf("\n%d frames of %dx%d, milliseconds per run:\n", kFrames, kWidth, kHeight);
  printf("  crop to dirty (ours)          %8.2f\n", ours);
  printf("  giflib read (DGifSlurp)       %8.2f\n", read);
  printf("  bounding-box diff in memory   %8.2f\n", diff);
  if (ours > 0 && read > 0 && diff > 0) {
    printf("  ours / giflib read          = %.2f\n", ours / read);
    printf("  ours / bounding-box diff    = %.2f\n", ours / diff);
  }
  return 0;
}
