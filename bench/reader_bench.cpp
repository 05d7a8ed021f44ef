// The GIF reader and writer against giflib. Reading: the same files read
// from disk by ReadGif (through LoadDocument into the swap file) and by
// giflib's DGifSlurp. Writing: the document, loaded once, saved by WriteGif
// (credit comment off) against giflib's EGifPutLine encoding the indices
// DGifSlurp gave for the same file, with the same colour tables, both in
// place and (as our save does) beside the file and renamed over it, and the
// file system's part of such a save alone, with nothing to code. Both as
// megapixels per second, then ratio lines per file, the written sizes beside
// them. Also BuildGlobalPalette(256) alone on the generated animation. Before
// the timings, a long animation (2,000 frames of 640x480) is read, read and
// saved, and read and rid of duplicate frames, each in a child process of
// its own that reports its peak resident memory and its time per frame,
// beside giflib reading the same file.
//
// Run: frambo_bench [benchmark flags]; FRAMBO_TEST_DATA in the environment
// overrides the folder the real files are read from.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"
#include "generated_animations.h"
#include "colour/global_palette.h"
#include "document/document.h"
#include "document/settings.h"
#include "editing/duplicate_frames.h"
#include "formats/gif_writer.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"
#include "platform/file_calls.h"
#include "platform/file_replace.h"

#ifndef FRAMBO_TEST_DATA
#define FRAMBO_TEST_DATA "tests/data"
#endif

namespace {

struct Animation {
  int width;
  int height;
  int frames;
};
// Large enough that LZW, not the file's overhead, dominates the time.
constexpr Animation kTimedAnimation = {640, 480, 100};
// A long animation, where keeping every frame in memory is what costs.
constexpr Animation kMemoryAnimation = {640, 480, 2000};

struct BenchFile {
  std::string label;
  std::string path;
  double megapixels = 0;  // of every image in the file
};

// Writes a looping-free animation of diagonal gradients that drift from frame
// to frame, with sparse noise so that LZW finds some runs and breaks others.
bool WriteAnimation(const Animation& animation, const std::string& path) {
  GifFileType* gif = BeginGeneratedGif(path, animation.width, animation.height, 7);
  if (gif == nullptr) return false;
  bool ok = true;
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
  int error = 0;
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

bool ReadAndSaveWithOurs(const std::string& path) {
  const std::string saved = TempPathWithExtension(".gif");
  const bool ok = ReadWithOurs(path) && !saved.empty() && WriteGif(saved.c_str());
  remove(saved.c_str());
  return ok;
}

bool ReadAndDedupeWithOurs(const std::string& path) { return ReadWithOurs(path) && RemoveDuplicateFrames() >= 0; }

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

long FileSize(const std::string& path) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return -1;
  long size = fseek(file, 0, SEEK_END) == 0 ? ftell(file) : -1;
  fclose(file);
  return size;
}

// What the writer benchmarks share: the file to encode and where to put it.
struct WriteJob {
  BenchFile file;
  std::string outPath;
};

// WriteGif on the document loaded once. One save before the timing, so that
// every timed save finds the frames already on the rebuilt global palette.
void BenchmarkOurWrite(benchmark::State& state, const WriteJob& job) {
  ResetHeadlessUi();
  Settings saved = settings;
  settings.addCreditComment = 0;
  bool ok = LoadDocument(job.file.path.c_str()) && WriteGif(job.outPath.c_str());
  for (auto _ : state) {
    ResetHeadlessUi();  // the recorded progress would grow with every save
    if (!ok || !WriteGif(job.outPath.c_str())) {
      ok = false;
      break;
    }
  }
  settings = saved;
  if (!ok) {
    state.SkipWithError("the file could not be read or written");
    return;
  }
  state.counters[kRateCounter] = benchmark::Counter(job.file.megapixels * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
  state.counters[kSizeCounter] = double(FileSize(job.outPath));
}

// giflib's encoder on the frames DGifSlurp read: the same screen, colour
// tables, graphic controls and indices, one EGifPutLine per row.
bool WriteWithGiflib(const GifFileType& source, const std::string& path) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (gif == nullptr) return false;
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, source.SWidth, source.SHeight, source.SColorResolution,
                              source.SBackGroundColor, source.SColorMap) == GIF_OK;
  for (int i = 0; ok && i < source.ImageCount; ++i) {
    const SavedImage& image = source.SavedImages[i];
    for (int e = 0; ok && e < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock& block = image.ExtensionBlocks[e];
      if (block.Function == GRAPHICS_EXT_FUNC_CODE)
        ok = EGifPutExtension(gif, block.Function, block.ByteCount, block.Bytes) == GIF_OK;
    }
    const GifImageDesc& desc = image.ImageDesc;
    ok = ok && EGifPutImageDesc(gif, desc.Left, desc.Top, desc.Width, desc.Height, false,
                                desc.ColorMap) == GIF_OK;
    for (int y = 0; ok && y < desc.Height; ++y)
      ok = EGifPutLine(gif, image.RasterBits + static_cast<size_t>(y) * desc.Width, desc.Width) ==
           GIF_OK;
  }
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  return ok;
}

// giflib's encoding of the file DGifSlurp read, in place over the target,
// or (safely) beside it and renamed over it, as our save does: what
// replacing a file costs the file system by itself, which on small files
// outweighs all the coding.
void BenchmarkGiflibWrite(benchmark::State& state, const WriteJob& job, bool safely) {
  int error = 0;
  GifFileType* source = DGifOpenFileName(job.file.path.c_str(), &error);
  bool ok = source != nullptr && DGifSlurp(source) == GIF_OK;
  const std::string written = safely ? job.outPath + ".new" : job.outPath;
  for (auto _ : state) {
    if (!ok || !WriteWithGiflib(*source, written) ||
        (safely && rename(written.c_str(), job.outPath.c_str()) != 0)) {
      ok = false;
      break;
    }
  }
  if (source != nullptr) DGifCloseFile(source, &error);
  if (!ok) {
    state.SkipWithError("the file could not be read or written");
    return;
  }
  state.counters[kRateCounter] = benchmark::Counter(job.file.megapixels * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
  state.counters[kSizeCounter] = double(FileSize(job.outPath));
}

// The file system's part of a save alone: the bytes giflib wrote for the
// file (coded once, before the timing) put beside the target and moved over
// it, as our save does, with nothing to code. Against giflib's whole write
// in place, the most any save that keeps the old file until the new one is
// complete can reach.
void BenchmarkReplaceOnly(benchmark::State& state, const WriteJob& job) {
  int error = 0;
  GifFileType* source = DGifOpenFileName(job.file.path.c_str(), &error);
  bool ok = source != nullptr && DGifSlurp(source) == GIF_OK && WriteWithGiflib(*source, job.outPath);
  if (source != nullptr) DGifCloseFile(source, &error);
  std::vector<uint8_t> bytes(ok ? static_cast<size_t>(FileSize(job.outPath)) : 0);
  FILE* coded = ok ? fopen(job.outPath.c_str(), "rb") : nullptr;
  ok = coded != nullptr && fread(bytes.data(), 1, bytes.size(), coded) == bytes.size();
  if (coded != nullptr) fclose(coded);
  char temp[4096];
  for (auto _ : state) {
    const int handle = ok ? CreateTempFileBeside(job.outPath.c_str(), temp, sizeof temp) : -1;
    if (handle < 0) {
      ok = false;
      break;
    }
    const bool written = FileWrite(handle, bytes.data(), static_cast<uint32_t>(bytes.size())) ==
                         static_cast<int32_t>(bytes.size());
    if (!FileClose(handle) || !written || !MoveFileOver(temp, job.outPath.c_str())) {
      remove(temp);
      ok = false;
      break;
    }
  }
  if (!ok) {
    state.SkipWithError("the file could not be read or written");
    return;
  }
  state.counters[kRateCounter] = benchmark::Counter(job.file.megapixels * double(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}

// "Calculate optimal palette" with 256 colours over every frame; each build
// gets the document as read, reloaded with the clock stopped.
void BenchmarkGlobalPalette(benchmark::State& state, const BenchFile& file) {
  for (auto _ : state) {
    state.PauseTiming();
    ResetHeadlessUi();
    bool loaded = LoadDocument(file.path.c_str());
    for (int i = 0; i < doc.frameCount; ++i) doc.frames[i]->useGlobalPalette = 1;
    state.ResumeTiming();
    if (!loaded) {
      state.SkipWithError("the file could not be read");
      break;
    }
    BuildGlobalPalette(256);
  }
  state.counters[kRateCounter] =
      benchmark::Counter(file.megapixels * double(state.iterations()), benchmark::Counter::kIsRate);
}

// "  label  ours / giflib = ratio" for every file both sides ran, then the
// same ratio in processor time, which a busy machine or a slow disk (our
// writer flushes the file to disk before moving it in place) disturbs less.
void PrintRatios(const RunReporter& reporter, const std::vector<BenchFile>& files,
                 const std::string& ours, const std::string& giflib) {
  for (const BenchFile& file : files) {
    auto a = reporter.rates.find(ours + file.label);
    auto b = reporter.rates.find(giflib + file.label);
    if (a == reporter.rates.end() || b == reporter.rates.end() || b->second <= 0) continue;
    printf("  %-22s %8.1f / %8.1f = %.2f", file.label.c_str(), a->second, b->second,
           a->second / b->second);
    auto cpuA = reporter.cpuMilliseconds.find(ours + file.label);
    auto cpuB = reporter.cpuMilliseconds.find(giflib + file.label);
    if (cpuA != reporter.cpuMilliseconds.end() && cpuB != reporter.cpuMilliseconds.end() &&
        cpuA->second > 0)
      printf(" (cpu %.2f)", cpuB->second / cpuA->second);
    auto sizeA = reporter.sizes.find(ours + file.label);
    auto sizeB = reporter.sizes.find(giflib + file.label);
    if (sizeA != reporter.sizes.end() && sizeB != reporter.sizes.end() && sizeB->second > 0)
      printf("   size %9.0f / %9.0f bytes = %.3f", sizeA->second, sizeB->second,
             sizeA->second / sizeB->second);
    printf("\n");
  }
  // Overall: every file once, one side's total time against the other's;
  // then the geometric mean and the lowest of the ratios per file.
  double oursTotal = 0, giflibTotal = 0, logSum = 0, lowest = 0;
  int counted = 0;
  for (const BenchFile& file : files) {
    auto a = reporter.milliseconds.find(ours + file.label);
    auto b = reporter.milliseconds.find(giflib + file.label);
    if (a == reporter.milliseconds.end() || b == reporter.milliseconds.end() || a->second <= 0) continue;
    oursTotal += a->second;
    giflibTotal += b->second;
    const double ratio = b->second / a->second;
    logSum += std::log(ratio);
    if (counted == 0 || ratio < lowest) lowest = ratio;
    ++counted;
  }
  if (counted > 0)
    printf("  overall (%d files, each once) %.1f / %.1f ms = %.2f; geometric mean %.2f; lowest %.2f\n", counted,
           giflibTotal, oursTotal, giflibTotal / oursTotal, std::exp(logSum / counted), lowest);
}

// Peak resident memory (KiB) of a child that runs one side's work on path
// alone, and the work's wall time (microseconds); baseline is the child's
// peak before it starts. False on failure.
bool MeasurePeakMemory(bool (*reader)(const std::string&), const std::string& path,
                       bool needsSwapFile, long* baseline, long* peak, long* micros) {
  int channel[2];
  if (pipe(channel) != 0) return false;
  fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    close(channel[0]);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    long result[4] = {0, usage.ru_maxrss, 0, 0};
    const auto start = std::chrono::steady_clock::now();
    if (!needsSwapFile || OpenSwapFile()) result[0] = reader(path) ? 1 : 0;
    result[3] = static_cast<long>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
    getrusage(RUSAGE_SELF, &usage);
    result[2] = usage.ru_maxrss;
    if (needsSwapFile) CloseSwapFile();
    ssize_t written = write(channel[1], result, sizeof result);
    _exit(written == static_cast<ssize_t>(sizeof result) ? 0 : 1);
  }
  close(channel[1]);
  long result[4] = {};
  ssize_t got = read(channel[0], result, sizeof result);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (got != static_cast<ssize_t>(sizeof result) || result[0] != 1) return false;
  *baseline = result[1];
  *peak = result[2];
  *micros = result[3];
  return true;
}

void ReportMemory(const std::string& path) {
  printf("Peak resident memory and time per frame, %d frames of %dx%d (each in a child of its own):\n",
         kMemoryAnimation.frames, kMemoryAnimation.width, kMemoryAnimation.height);
  struct Side {
    const char* name;
    bool (*reader)(const std::string&);
    bool needsSwapFile;
  } sides[] = {{"giflib read       ", ReadWithGiflib, false},
               {"ours read         ", ReadWithOurs, true},
               {"ours read + save  ", ReadAndSaveWithOurs, true},
               {"ours read + dedupe", ReadAndDedupeWithOurs, true}};
  double giflibMicros = 0;
  for (const Side& side : sides) {
    long baseline = 0, peak = 0, micros = 0;
    if (!MeasurePeakMemory(side.reader, path, side.needsSwapFile, &baseline, &peak, &micros)) {
      printf("  %s failed\n", side.name);
      continue;
    }
    if (side.reader == ReadWithGiflib) giflibMicros = static_cast<double>(micros);
    printf("  %s %8.1f MiB (%.1f MiB before)  %7.3f ms per frame", side.name, peak / 1024.0, baseline / 1024.0,
           micros / 1000.0 / kMemoryAnimation.frames);
    if (giflibMicros > 0) printf("  = %.2fx giflib's read", micros / giflibMicros);
    printf("\n");
  }
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  const char* dataFolder = getenv("FRAMBO_TEST_DATA");
  std::string data = dataFolder != nullptr && *dataFolder != '\0' ? dataFolder : FRAMBO_TEST_DATA;

  // Written with giflib's encoder, which keeps one row in memory at a time.
  std::string timedPath = TempPathWithExtension(".gif");
  std::string memoryPath = TempPathWithExtension(".gif");
  if (timedPath.empty() || memoryPath.empty() || !WriteAnimation(kTimedAnimation, timedPath) ||
      !WriteAnimation(kMemoryAnimation, memoryPath)) {
    fprintf(stderr, "cannot write the generated animations to the temporary folder\n");
    return 1;
  }
  // Before anything else grows this process, which every child starts from.
  // FRAMBO_BENCH_SKIP_MEMORY=1 leaves the long animation out, for quick runs.
  const char* skipMemory = getenv("FRAMBO_BENCH_SKIP_MEMORY");
  if (skipMemory == nullptr || *skipMemory == '\0' || *skipMemory == '0') ReportMemory(memoryPath);
  remove(memoryPath.c_str());

  // Real files of every kind and size, then the generated ones.
  std::vector<BenchFile> files;
  for (const char* name : {"harvesters", "gifplayer-muybridge", "muybridge", "dirty-rect-sprite",
                           "dirty-rect-imagemagick", "hibiscus-regular", "colors-256-lzw-clears", "welcome2",
                           "fire", "hat", "porsche", "bricks-dither", "solid2", "frames-180",
                           "hippopotamus-interlaced"})
    files.push_back({name, data + "/" + name + ".gif"});
  std::vector<std::string> generatedPaths;
  for (const generated::Kind& kind : generated::kKinds) {
    std::string path = TempPathWithExtension(".gif");
    if (path.empty() || !generated::Write(kind, path)) {
      fprintf(stderr, "cannot write the generated animations to the temporary folder\n");
      return 1;
    }
    generatedPaths.push_back(path);
    files.push_back({kind.name, path});
  }
  files.push_back({"generated-640x480x100", timedPath});
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
  std::string writtenPath = TempPathWithExtension(".gif");
  if (writtenPath.empty()) {
    fprintf(stderr, "cannot write to the temporary folder\n");
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
  for (const BenchFile& file : files) {
    WriteJob job = {file, writtenPath};
    benchmark::RegisterBenchmark(("ours-write/" + file.label).c_str(), BenchmarkOurWrite, job)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("giflib-write/" + file.label).c_str(), BenchmarkGiflibWrite, job, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("giflib-safe-write/" + file.label).c_str(), BenchmarkGiflibWrite, job, true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("replace-only/" + file.label).c_str(), BenchmarkReplaceOnly, job)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  const BenchFile& generated = files.back();
  benchmark::RegisterBenchmark(("global-palette/" + generated.label).c_str(),
                               BenchmarkGlobalPalette, generated)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  RunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  printf("\nours / giflib, megapixels per second:\n");
  printf(" reading\n");
  PrintRatios(reporter, files, "ours/", "giflib/");
  printf(" writing (sizes of the written files beside)\n");
  PrintRatios(reporter, files, "ours-write/", "giflib-write/");
  printf(" writing, against giflib writing beside the file and renaming it over, as a save does\n");
  PrintRatios(reporter, files, "ours-write/", "giflib-safe-write/");
  printf(" the file system's part of a save alone (its bytes put beside the file and moved over it,\n"
         " nothing coded), against giflib writing in place: the most a save that keeps the old file\n"
         " until the new one is complete can reach on this disk\n");
  PrintRatios(reporter, files, "replace-only/", "giflib-write/");
  auto build = reporter.milliseconds.find("global-palette/" + generated.label);
  if (build != reporter.milliseconds.end())
    printf("BuildGlobalPalette(256) on %s: %.1f ms\n", generated.label.c_str(), build->second);
  CloseSwapFile();
  remove(timedPath.c_str());
  remove(writtenPath.c_str());
  for (const std::string& path : generatedPaths) remove(path.c_str());
  return 0;
}
