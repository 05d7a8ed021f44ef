// The image view's composition against a plain compositor. Ours: stepping
// forward through 100 frames of a generated 640x480 animation, each refresh
// reading its frame from the swap file and drawing it over the retained
// picture (BuildNewPicture, then RetainNewPicture). Reference: the same
// frames decoded once by giflib's DGifSlurp (not timed) and drawn on one
// canvas by a per-frame loop applying the GIF rules (transparency,
// disposal). Both in megapixels of screen per second, then ours / reference.
//
// Run: frambo_compose_bench [benchmark flags].
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "document/document.h"
#include "document/ui_operations.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"
#include "render/frame_composer.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kComposed = 100;  // frames timed, each composed over the one before
// A full-screen backdrop comes first, so that every timed refresh composes.
constexpr int kFrames = kComposed + 1;
constexpr int kSpriteWidth = 400;
constexpr int kSpriteHeight = 300;
constexpr double kMegapixels = double(kComposed) * kWidth * kHeight / 1e6;

// Frame 0 fills the screen; every later one is a sprite drifting across it,
// a quarter of its pixels transparent (index 0), left in place (disposal 1).
bool WriteAnimation(const std::string& path) {
  GifFileType* gif = BeginGeneratedGif(path, kWidth, kHeight, 5);
  if (gif == nullptr) return false;
  bool ok = true;
  std::vector<GifByteType> row(kWidth);
  for (int f = 0; ok && f < kFrames; ++f) {
    bool backdrop = f == 0;
    int left = backdrop ? 0 : (f * 7) % (kWidth - kSpriteWidth);
    int top = backdrop ? 0 : (f * 3) % (kHeight - kSpriteHeight);
    int width = backdrop ? kWidth : kSpriteWidth;
    int height = backdrop ? kHeight : kSpriteHeight;
    const GifByteType control[4] = {static_cast<GifByteType>(backdrop ? 4 : 5), 5, 0, 0};
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_OK &&
         EGifPutImageDesc(gif, left, top, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        int value = 1 + (x + 2 * y + 9 * f) % 255;
        if (!backdrop && ((x / 8 + y / 8 + f) & 3) == 0) value = 0;
        row[x] = static_cast<GifByteType>(value);
      }
      ok = EGifPutLine(gif, row.data(), width) == GIF_OK;
    }
  }
  int error = 0;
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  return ok;
}

// Our refresh of the current frame, as the image view runs it.
bool RefreshAt(int index) {
  doc.currentFrame = static_cast<int16_t>(index);
  if (!BuildNewPicture()) return false;
  RetainNewPicture();
  return true;
}

void BenchmarkOurs(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    ResetRetainedPicture();
    bool ok = RefreshAt(0);
    state.ResumeTiming();
    for (int i = 1; ok && i < kFrames; ++i) ok = RefreshAt(i);
    if (!ok) {
      state.SkipWithError("a picture could not be composed");
      break;
    }
  }
  state.counters[kRateCounter] =
      benchmark::Counter(kMegapixels * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The reference compositor: one screen-sized canvas of indices, the previous
// frame disposed of before the next is drawn.
struct Canvas {
  std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t{kWidth} * kHeight);
  std::vector<uint8_t> saved;  // what disposal 3 restores
};

void DrawFrame(const GifFileType& gif, int index, Canvas* canvas) {
  const SavedImage& image = gif.SavedImages[index];
  const GifImageDesc& d = image.ImageDesc;
  GraphicsControlBlock control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
  DGifSavedExtensionToGCB(const_cast<GifFileType*>(&gif), index, &control);
  if (index > 0) {
    const GifImageDesc& p = gif.SavedImages[index - 1].ImageDesc;
    GraphicsControlBlock previous = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(const_cast<GifFileType*>(&gif), index - 1, &previous);
    if (previous.DisposalMode == DISPOSE_BACKGROUND) {
      for (int y = p.Top; y < p.Top + p.Height && y < kHeight; ++y)
        memset(&canvas->pixels[size_t(y) * kWidth + p.Left], gif.SBackGroundColor,
               std::min(p.Width, kWidth - p.Left));
    } else if (previous.DisposalMode == DISPOSE_PREVIOUS && !canvas->saved.empty()) {
      canvas->pixels = canvas->saved;
    }
  }
  if (control.DisposalMode == DISPOSE_PREVIOUS) canvas->saved = canvas->pixels;
  for (int y = 0; y < d.Height && d.Top + y < kHeight; ++y) {
    const GifByteType* in = image.RasterBits + size_t(y) * d.Width;
    uint8_t* out = &canvas->pixels[size_t(d.Top + y) * kWidth + d.Left];
    int width = std::min(d.Width, kWidth - d.Left);
    for (int x = 0; x < width; ++x)
      if (in[x] != control.TransparentColor) out[x] = in[x];
  }
}

void BenchmarkReference(benchmark::State& state, const GifFileType* gif) {
  Canvas canvas;
  for (auto _ : state) {
    state.PauseTiming();
    DrawFrame(*gif, 0, &canvas);
    state.ResumeTiming();
    for (int i = 1; i < kFrames; ++i) DrawFrame(*gif, i, &canvas);
    benchmark::DoNotOptimize(canvas.pixels.data());
  }
  state.counters[kRateCounter] =
      benchmark::Counter(kMegapixels * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Both sides must have drawn the same last screen, or the timings compare
// different work.
bool SameLastScreen(const GifFileType& gif) {
  Canvas canvas;
  for (int i = 0; i < kFrames; ++i) DrawFrame(gif, i, &canvas);
  ResetRetainedPicture();
  for (int i = 0; i < kFrames; ++i)
    if (!RefreshAt(i)) return false;
  const PictureBuffer& shown = retainedPicture;
  if (shown.left != 0 || shown.top != 0 || shown.width != kWidth || shown.height != kHeight) return false;
  for (int y = 0; y < kHeight; ++y) {
    const uint8_t* row = shown.block.data() + size_t(kHeight - 1 - y) * (kWidth + shown.rowPad);
    if (memcmp(row, &canvas.pixels[size_t(y) * kWidth], kWidth) != 0) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  const std::string path = WriteGeneratedAnimation(WriteAnimation);
  if (path.empty()) return 1;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  bool decoded = gif != nullptr && DGifSlurp(gif) == GIF_OK && gif->ImageCount == kFrames;
  bool loaded = decoded && OpenSwapFile() && LoadDocument(path.c_str()) && doc.frameCount == kFrames;
  remove(path.c_str());
  if (!loaded) {
    fprintf(stderr, "cannot read the generated animation back (giflib: %s, %d images; ours: %d entries)\n",
            decoded ? "read" : "failed", gif != nullptr ? gif->ImageCount : 0, doc.frameCount);
    return 1;
  }
  if (!SameLastScreen(*gif)) {
    fprintf(stderr, "the two compositions differ: the timings would not compare\n");
    return 1;
  }
  const std::string label = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x" + std::to_string(kComposed);
  benchmark::RegisterBenchmark(("ours/" + label).c_str(), BenchmarkOurs)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark(("reference/" + label).c_str(), BenchmarkReference, gif)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  RunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  auto ours = reporter.rates.find("ours/" + label);
  auto reference = reporter.rates.find("reference/" + label);
  if (ours != reporter.rates.end() && reference != reporter.rates.end() && reference->second > 0)
    printf("\ncomposition, megapixels of screen per second:\n  %-14s ours %8.1f / reference %8.1f = %.2f\n",
           label.c_str(), ours->second, reference->second, ours->second / reference->second);
  ResetRetainedPicture();
  DGifCloseFile(gif, &error);
  CloseSwapFile();
  return 0;
}
