// What the benchmarks share: reproducible noise, the generated animations'
// palette, and a reporter that keeps every run's numbers for the ratio lines
// each benchmark prints after its table.
#pragma once

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/temp_file.h"

constexpr char kRateCounter[] = "Mpixels";
constexpr char kSizeCounter[] = "bytes";  // of the file a writer made

// A small xorshift generator: the same pixels on every run.
inline uint32_t NextRandom(uint32_t* state) {
  uint32_t x = *state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return *state = x;
}

// A fresh name in the temporary folder ending in extension (".gif",
// ".bmp"): the editor chooses its reader by a name's last letter, and a bare
// temporary name ending in "p" or "g" would go to the BMP or JPEG import.
// "" when no name can be had.
inline std::string TempPathWithExtension(const char* extension) {
  char name[4096];
  if (!MakeTempFileName(name, sizeof name)) return std::string();
  remove(name);
  return std::string(name) + extension;
}

// A temporary .gif that write(path) has filled: the animation a benchmark
// generates. "" (and a line on stderr) when that fails.
inline std::string WriteGeneratedAnimation(bool (*write)(const std::string& path)) {
  std::string path = TempPathWithExtension(".gif");
  if (!path.empty() && write(path)) return path;
  if (!path.empty()) remove(path.c_str());
  fprintf(stderr, "cannot write the generated animation to the temporary folder\n");
  return std::string();
}

// Opens path for a generated animation and writes its screen descriptor
// with a 256-colour gradient table (green stepping by greenStep). Null when
// that fails.
inline GifFileType* BeginGeneratedGif(const std::string& path, int width, int height, int greenStep) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (gif == nullptr) return nullptr;
  EGifSetGifVersion(gif, true);  // the animations carry graphic control extensions
  GifColorType colors[256];
  for (int i = 0; i < 256; ++i) {
    colors[i].Red = static_cast<GifByteType>(i);
    colors[i].Green = static_cast<GifByteType>((i * greenStep) & 0xFF);
    colors[i].Blue = static_cast<GifByteType>(255 - i);
  }
  ColorMapObject* map = GifMakeMapObject(256, colors);
  // The descriptor keeps a copy of the table.
  bool ok = map != nullptr && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  if (!ok) {
    EGifCloseFile(gif, &error);
    return nullptr;
  }
  return gif;
}

// Keeps each run's rate, size and times by benchmark name; with
// --benchmark_repetitions, the medians of the repetitions.
class RunReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that a saved log stays plain text.
  RunReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}
  std::map<std::string, double> rates;
  std::map<std::string, double> sizes;
  std::map<std::string, double> milliseconds;     // real time per iteration
  std::map<std::string, double> cpuMilliseconds;  // processor time per iteration
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((run.run_type != Run::RT_Iteration && !median) || run.error_occurred || run.iterations <= 0) continue;
      const std::string& name = run.run_name.function_name;
      auto rate = run.counters.find(kRateCounter);
      if (rate != run.counters.end()) rates[name] = rate->second.value;
      auto size = run.counters.find(kSizeCounter);
      if (size != run.counters.end()) sizes[name] = size->second.value;
      milliseconds[name] = run.real_accumulated_time * 1e3 / double(run.iterations);
      cpuMilliseconds[name] = run.cpu_accumulated_time * 1e3 / double(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};
