// Shared helpers of the core tests.
#include "test_support.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/cli.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "formats/gif_writer.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"
#include "platform/temp_file.h"

#ifdef _WIN32
#include <direct.h>
#endif

namespace {

std::string& ScratchFolder() {
  static std::string folder;
  if (folder.empty()) {
    char name[512];
    if (MakeTempFileName(name, sizeof name)) {
      remove(name);
      folder = name;
#ifdef _WIN32
      _mkdir(folder.c_str());
#else
      mkdir(folder.c_str(), 0700);
#endif
    }
  }
  return folder;
}

// The swap file lives for the whole test run, as it does for the editor.
class SwapFileEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(OpenSwapFile()); }
  void TearDown() override {
    CloseSwapFile();
    std::error_code ignored;
    if (!ScratchFolder().empty()) std::filesystem::remove_all(ScratchFolder(), ignored);
  }
};

const auto* const swapEnvironment = ::testing::AddGlobalTestEnvironment(new SwapFileEnvironment);

std::string ReadAll(FILE* file) {
  std::string text;
  rewind(file);
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
  fclose(file);
  return text;
}

}  // namespace

// ---- files ---------------------------------------------------------------------

std::string ScratchPath(const std::string& name) { return ScratchFolder() + "/" + name; }

std::string WriteScratchFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = ScratchPath(name);
  FILE* file = fopen(path.c_str(), "wb");
  if (file) {
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
  }
  return path;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

std::string TestDataPath(const std::string& name) { return std::string(FRAMBO_TEST_DATA) + "/" + name; }

std::vector<std::string> DataGifs() {
  std::vector<std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(FRAMBO_TEST_DATA)) {
    if (item.path().extension() == ".gif") files.push_back(item.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string DataFileTestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.size() - 4);
  for (char& c : name) {
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

// ---- the document --------------------------------------------------------------

void ResetDocument() {
  ClearDocument();
  RewindSwapFile();
  doc.swapFile.Truncate(0);  // nothing of an earlier test's data stays behind
  doc.backgroundIndex = 0;
  doc.pendingChange = kNoPendingChange;
  doc.modified = 0;
  ResetRetainedPicture();  // the picture of an earlier test's frame is no base to compose on
  ResetHeadlessUi();
}

bool LoadFresh(const std::string& path) {
  ResetDocument();
  return LoadDocument(path.c_str());
}

bool SaveAs(const std::string& path, unsigned options) {
  Settings saved = settings;
  settings.addCreditComment = (options & kWithCredit) ? 1 : 0;
  settings.interlacedSave = (options & kInterlacedSave) ? 1 : 0;
  bool written = WriteGif(path.c_str());
  settings = saved;
  return written;
}

std::vector<uint8_t> FramePixels(int index) {
  const Frame& frame = *doc.frames[index];
  int32_t stride = RowStride(frame.width);
  std::vector<uint8_t> block(static_cast<size_t>(stride) * frame.height);
  if (!block.empty()) doc.swapFile.ReadBlockAt(frame.dataOffset, block.data(), static_cast<uint32_t>(block.size()));
  std::vector<uint8_t> rows;
  for (int y = 0; y < frame.height; ++y) {
    const uint8_t* row = block.data() + static_cast<size_t>(frame.height - 1 - y) * stride;
    rows.insert(rows.end(), row, row + frame.width);
  }
  return rows;
}

std::string CommentText(int index) {
  const Frame& entry = *doc.frames[index];
  std::string text(static_cast<size_t>(entry.left), '\0');
  if (!text.empty()) doc.swapFile.ReadAt(entry.dataOffset, &text[0], entry.left);
  return text;
}

std::vector<uint8_t> Noise(size_t n, int modulo, uint32_t seed) {
  std::vector<uint8_t> pixels(n);
  for (uint8_t& pixel : pixels) {
    seed = seed * 1103515245u + 12345u;
    pixel = static_cast<uint8_t>((seed >> 16) % static_cast<uint32_t>(modulo));
  }
  return pixels;
}

Frame& AppendImage(int width, int height, const std::vector<RgbTriple>& colours,
                   const std::vector<uint8_t>& pixels, uint8_t padding) {
  EXPECT_TRUE(InsertFrame(doc.frameCount));
  Frame& frame = *doc.frames[doc.frameCount - 1];
  frame.width = static_cast<int16_t>(width);
  frame.height = static_cast<int16_t>(height);
  frame.colorCount = static_cast<int16_t>(colours.size());
  for (size_t i = 0; i < colours.size(); ++i)
    frame.palette[i] = PaletteEntry{colours[i].blue, colours[i].green, colours[i].red, 0};
  int32_t stride = RowStride(width);
  std::vector<uint8_t> block(static_cast<size_t>(stride) * height, padding);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t pixel = pixels[static_cast<size_t>(y) * width + x];
      block[static_cast<size_t>(height - 1 - y) * stride + x] = pixel;
      frame.usedColors[pixel] = 1;
    }
  frame.dataOffset = doc.swapEnd;
  if (!block.empty()) doc.swapFile.WriteBlockAt(doc.swapEnd, block.data(), static_cast<uint32_t>(block.size()));
  doc.swapEnd += static_cast<uint32_t>(block.size());
  return frame;
}

void AppendComment(const std::string& text) {
  ASSERT_TRUE(InsertFrame(doc.frameCount));
  Frame& entry = *doc.frames[doc.frameCount - 1];
  entry.disposal = kCommentDisposal;
  entry.dataOffset = doc.swapEnd;
  entry.left = static_cast<int16_t>(text.size());
  doc.swapFile.WriteAt(doc.swapEnd, text.data(), static_cast<int32_t>(text.size()));
  doc.swapEnd += static_cast<uint32_t>(text.size());
}

// ---- the document as entries ---------------------------------------------------

std::vector<uint32_t> FrameColours(int index) {
  const Frame& frame = *doc.frames[index];
  std::vector<uint32_t> colours;
  for (uint8_t pixel : FramePixels(index)) {
    const PaletteEntry& c = frame.palette[pixel];
    bool clear = frame.transparent && pixel == (frame.transparentIndex & 0xFF);
    colours.push_back(clear ? kTransparentPixel : static_cast<uint32_t>(c.red) << 16 | c.green << 8 | c.blue);
  }
  return colours;
}

std::vector<Entry> DocumentEntries() {
  std::vector<Entry> entries;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    Entry entry;
    entry.comment = IsComment(frame);
    if (entry.comment) {
      entry.text = CommentText(i);
    } else {
      entry = Entry{false, "", frame.left, frame.top, frame.width, frame.height, frame.delay, frame.disposal,
                    frame.transparent != 0, frame.transparentIndex, frame.interlaced != 0,
                    frame.useGlobalPalette != 0, FrameColours(i), FramePixels(i)};
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<Entry> WithoutEmptyComments(std::vector<Entry> entries) {
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [](const Entry& e) { return e.comment && e.text.empty(); }),
                entries.end());
  return entries;
}

bool IsCredit(const Entry& entry) {
  return entry.comment && entry.text.compare(0, strlen(kCreditStart), kCreditStart) == 0;
}

namespace {

std::string Hex(uint32_t colour) {
  char text[12];
  snprintf(text, sizeof text, "%06X", colour);
  return colour == kTransparentPixel ? "transparent" : text;
}

const char* Kind(const Entry& e) { return e.comment ? "a comment" : "an image"; }

}  // namespace

std::vector<std::string> EntryDifferences(const std::vector<Entry>& want, const std::vector<Entry>& got,
                                          unsigned compareAlso) {
  std::vector<std::string> faults;
  if (want.size() != got.size()) {
    faults.push_back("entries: expected " + std::to_string(want.size()) + ", got " + std::to_string(got.size()));
    return faults;
  }
  for (size_t i = 0; i < want.size(); ++i) {
    const Entry& a = want[i];
    const Entry& b = got[i];
    const std::string where = "entry " + std::to_string(i);
    auto field = [&](const char* name, long long expected, long long actual) {
      if (expected != actual)
        faults.push_back(where + " " + name + ": expected " + std::to_string(expected) + ", got " +
                         std::to_string(actual));
    };
    if (a.comment != b.comment) {
      faults.push_back(where + ": expected " + Kind(a) + ", got " + Kind(b));
      continue;
    }
    if (a.comment) {
      field("comment length", a.text.size(), b.text.size());
      if (a.text.size() == b.text.size() && a.text != b.text) faults.push_back(where + ": comment text differs");
      continue;
    }
    field("left", a.left, b.left);
    field("top", a.top, b.top);
    field("width", a.width, b.width);
    field("height", a.height, b.height);
    field("delay", a.delay, b.delay);
    field("disposal", a.disposal, b.disposal);
    field("transparent", a.transparent, b.transparent);
    if (compareAlso & kStorage) {
      field("interlaced", a.interlaced, b.interlaced);
      field("useGlobalPalette", a.useGlobalPalette, b.useGlobalPalette);
      if (a.transparent) field("transparentIndex", a.transparentIndex, b.transparentIndex);
    }
    if (a.width != b.width || a.height != b.height) continue;
    for (size_t p = 0; p < a.colours.size() && p < b.colours.size(); ++p) {
      bool sameColour = a.colours[p] == b.colours[p] || a.colours[p] == kAnyColour || b.colours[p] == kAnyColour;
      bool sameIndex = !(compareAlso & kIndices) || a.indices[p] == b.indices[p];
      if (sameColour && sameIndex) continue;
      faults.push_back(where + " pixel (" + std::to_string(p % a.width) + "," + std::to_string(p / a.width) +
                       "): expected " + Hex(a.colours[p]) + " index " + std::to_string(a.indices[p]) + ", got " +
                       Hex(b.colours[p]) + " index " + std::to_string(b.indices[p]));
      break;
    }
  }
  return faults;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

// ---- frambo-cli ----------------------------------------------------------------

void ExpectCliFailures(const std::vector<CliFailure>& cases, const std::string& output) {
  for (const CliFailure& c : cases) {
    CliResult run = RunTool(c.args);
    std::string line;
    for (const std::string& arg : c.args) line += arg + " ";
    EXPECT_EQ(c.status, run.status) << line << ": expected exit " << c.status << ", got " << run.status;
    EXPECT_EQ(0, run.err.compare(0, c.message.size(), c.message))
        << line << ": expected stderr to start with " << c.message << ", got " << run.err;
    EXPECT_TRUE(run.out.empty()) << line << ": expected no output, got " << run.out;
    if (!output.empty()) {
      EXPECT_FALSE(std::filesystem::exists(output)) << line << ": expected no file, got one";
    }
  }
}

CliResult RunTool(std::vector<std::string> args) {
  args.insert(args.begin(), "frambo-cli");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  CliResult result;
  result.status = RunCli(static_cast<int>(args.size()), argv.data(), out, err);
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}
