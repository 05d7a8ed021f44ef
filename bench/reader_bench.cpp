// The GIF reader against giflib: the same files read from disk by ReadGif
// (through LoadDocument into the swap file) and by giflib's DGifSlurp, as
// megapixels per second, then a ratio line per file. Before the timings, the
// peak resident memory of each side reading one large animation is measured
// in a child process of its own.
//
// Run: frambo_bench [benchmark flags]; FRAMBO_TEST_DATA in the environment
// overrides the folder the real files are read from.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/load_file.h"
#include "headless/headless_ui.h"
#include "platform/temp_file.h"

#ifndef FRAMBO_TEST_DATA
#define FRAMBO_TEST_DATA "tests/data"
#endif

namespace {

constexpr char kRateCounter[] = "Mpixels";

struct Animation {
  int width;
  int height;
  int frames;
};
// Large enough that LZW, not the file's overhead, dominates the time.
constexpr Animation kTimedAnimation = {640, 480, 100};
// The most the document holds, at a size where keeping every frame in
// memory is what costs.
constexpr Animation kMemoryAnimation = {1024, 768, kMaxEntries};

struct BenchFile {
  std::string label;
  std::string path;
  double megapixels = 0;  // of every image in the file
};

// A small xorshift generator: the same pixels on every run.
uint32_t NextRandom(uint32_t* state) {
  uint32_t x = *state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return *state = x;
}

// Writes a looping-free animation of diagonal gradients that drift from frame
// to frame, with sparse noise so that LZW finds some runs and breaks others.
bool WriteAnimation(const Animation& animation, const std::string& path) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (gif == nullptr) return false;
  GifColorType colors[256];
  for (int i = 0; i < 256; ++i) {
    colors[i].Red = static_cast<GifByteType>(i);
    colors[i].Green = static_cast<GifByteType>((i * 7) & 0xFF);
    colors[i].Blue = static_cast<GifByteType>(255 - i);
  }
  ColorMapObject* map = GifMakeMapObject(256, colors);
  bool ok = map != nullptr &&
            EGifPutScreenDesc(gif, animation.width, animation.height, 8, 0, map) == GIF_OK;
  std::vector<GifByteType> row(animation.width);
  uint32_t random = 2463534242u;
  for (int f = 0; ok && f < animation.frames; ++f) {
    const GifByteType control[4] = {4, 5, 0, 0};  // disposal 1, delay 5
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, animation.width, animation.height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < animation.height; ++y) {
      for (int x = 0; x < animation.width; ++x) {
        int value = (x * 3 + y * 2) / 5 + f * 3;
        if ((NextRandom(&random) & 7) == 0) value += NextRandom(&random) & 31;
        row[x] = static_cast<GifByteType>(value);
      }
      ok = EGifPutLine(gif, row.data(), animation.width) == GIF_OK;
    }
  }
  GifFreeMapObject(map);
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  return ok;
}

// Megapixels of every image in the file, as giflib counts them; 0 when
// giflib cannot read it.
double Megapixels(const std::string& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr) return 0;
  double pixels = 0;
  if (DGifSlurp(gif) == GIF_OK) {
    for (int i = 0; i < gif->ImageCount; ++i)
      pixels += double(gif->SavedImages[i].ImageDesc.Width) * gif->SavedImages[i].ImageDesc.Height;
  }
  DGifCloseFile(gif, &error);
  return pixels / 1e6;
}

bool ReadWithOurs(const std::string& path) {
  ResetHeadlessUi();  // the recorded status texts would grow with every run
  return LoadDocument(path.c_str());
}

bool ReadWithGiflib(const std::string& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (gif == nullptr) return false;
  bool ok = DGifSlurp(gif) == GIF_OK;
  DGifCloseFile(gif, &error);
  return ok;
}

void BenchmarkRead(benchmark::State& state, const BenchFile& file,
                   bool (*reader)(const std::string&)) {
  for (auto _ : state) {
    if (!reader(file.path)) {
      state.SkipWithError("the file could not be read");
      break;
    }
  }
  state.counters[kRateCounter] =
      benchmark::Counter(file.megapixels * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Keeps every run's rate so that main can print ours / giflib per file.
class RateReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that a saved log stays plain text.
  RateReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}
  std::map<std::string, double> rates;  // by benchmark name, e.g. "ours/harvesters"
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      auto counter = run.counters.find(kRateCounter);
      if (run.run_type == Run::RT_Iteration && !run.error_occurred && counter != run.counters.end())
        rates[run.run_name.function_name] = counter->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

// Peak resident memory (KiB) of a child that reads path with one side alone;
// baseline is the child's peak before it starts reading. False on failure.
bool MeasurePeakMemory(bool (*reader)(const std::string&), const std::string& path,
                       bool needsSwapFile, long* baseline, long* peak) {
  int channel[2];
  if (pipe(channel) != 0) return false;
  fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    close(channel[0]);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    long result[3] = {0, usage.ru_maxrss, 0};
    if (!needsSwapFile || OpenSwapFile()) result[0] = reader(path) ? 1 : 0;
    getrusage(RUSAGE_SELF, &usage);
    result[2] = usage.ru_maxrss;
    if (needsSwapFile) CloseSwapFile();
    ssize_t written = write(channel[1], result, sizeof result);
    _exit(written == static_cast<ssize_t>(sizeof result) ? 0 : 1);
  }
  close(channel[1]);
  long result[3] = {};
  ssize_t got = read(channel[0], result, sizeof result);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (got != static_cast<ssize_t>(sizeof result) || result[0] != 1) return false;
  *baseline = result[1];
  *peak = result[2];
  return true;
}

void ReportMemory(const std::string& path) {
  printf("Peak resident memory reading %d frames of %dx%d (each side in a child of its own):\n",
         kMemoryAnimation.frames, kMemoryAnimation.width, kMemoryAnimation.height);
  struct Side {
    const char* name;
    bool (*reader)(const std::string&);
    bool needsSwapFile;
  } sides[] = {{"ours  ", ReadWithOurs, true}, {"giflib", ReadWithGiflib, false}};
  for (const Side& side : sides) {
    long baseline = 0, peak = 0;
    if (MeasurePeakMemory(side.reader, path, side.needsSwapFile, &baseline, &peak))
      printf("  %s %8.1f MiB (%.1f MiB before reading)\n", side.name, peak / 1024.0,
             baseline / 1024.0);
    else
      printf("  %s failed to read the file\n", side.name);
  }
  fflush(stdout);
}

std::string TempGifPath() {
  char path[4096];
  return MakeTempFileName(path, sizeof path) ? std::string(path) : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  const char* dataFolder = getenv("FRAMBO_TEST_DATA");
  std::string data = dataFolder != nullptr && *dataFolder != '\0' ? dataFolder : FRAMBO_TEST_DATA;

  // Written with giflib's encoder, which keeps one row in memory at a time.
  std::string timedPath = TempGifPath();
  std::string memoryPath = TempGifPath();
  if (timedPath.empty() || memoryPath.empty() || !WriteAnimation(kTimedAnimation, timedPath) ||
      !WriteAnimation(kMemoryAnimation, memoryPath)) {
    fprintf(stderr, "cannot write the generated animations to the temporary folder\n");
    return 1;
  }
  // Before anything else grows this process, which every child starts from.
  ReportMemory(memoryPath);
  remove(memoryPath.c_str());

  // gifplayer-muybridge.gif holds 380 frames, more than the document takes,
  // so the small animation here is muybridge.gif.
  std::vector<BenchFile> files = {{"harvesters", data + "/harvesters.gif"},
                                  {"muybridge", data + "/muybridge.gif"},
                                  {"generated-640x480x100", timedPath}};
  for (BenchFile& file : files) {
    file.megapixels = Megapixels(file.path);
    if (file.megapixels <= 0) {
      fprintf(stderr, "cannot read %s\n", file.path.c_str());
      return 1;
    }
  }
  if (!OpenSwapFile()) {
    fprintf(stderr, "cannot create the swap file\n");
    return 1;
  }
  for (const BenchFile& file : files) {
    benchmark::RegisterBenchmark(("ours/" + file.label).c_str(), BenchmarkRead, file, ReadWithOurs)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("giflib/" + file.label).c_str(), BenchmarkRead, file,
                                 ReadWithGiflib)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  printf("\nours / giflib, megapixels per second:\n");
  for (const BenchFile& file : files) {
    auto ours = reporter.rates.find("ours/" + file.label);
    auto theirs = reporter.rates.find("giflib/" + file.label);
    if (ours == reporter.rates.end() || theirs == reporter.rates.end() || theirs->second <= 0)
      continue;
    printf("  %-22s %8.1f / %8.1f = %.2f\n", file.label.c_str(), ours->second, theirs->second,
           ours->second / theirs->second);
  }
  CloseSwapFile();
  remove(timedPath.c_str());
  return 0;
}
