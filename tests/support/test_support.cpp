// Shared helpers of the core tests.
#include "test_support.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/cli.h"
#include "colour/global_palette.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "formats/gif_writer.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"
#include "platform/temp_file.h"

namespace {

// A folder of its own, named as the swap file is.
const std::string& ScratchFolder() {
  static std::string folder;
  char name[512];
  if (folder.empty() && MakeTempFileName(name, sizeof name)) {
    remove(name);
    std::filesystem::create_directory(folder = name);
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
  for (int c; (c = fgetc(file)) != EOF;) text += static_cast<char>(c);
  fclose(file);
  return text;
}

}  // namespace

// ---- files ---------------------------------------------------------------------

std::string ScratchPath(const std::string& name) { return ScratchFolder() + "/" + name; }

std::string WriteScratchFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = ScratchPath(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

uint32_t ReadLe16(const uint8_t* p) { return p[0] | p[1] << 8; }

uint32_t ReadLe32(const uint8_t* p) { return ReadLe16(p) | ReadLe16(p + 2) << 16; }

std::string TestDataPath(const std::string& name) { return std::string(FRAMBO_TEST_DATA) + "/" + name; }

std::vector<std::string> DataGifs() {
  std::vector<std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(FRAMBO_TEST_DATA))
    if (item.path().extension() == ".gif") files.push_back(item.path().filename().string());
  std::sort(files.begin(), files.end());
  return files;
}

std::string DataFileTestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.size() - 4);
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

// ---- the document --------------------------------------------------------------

void ResetDocument() {
  ClearDocument();
  RewindSwapFile();
  doc.swapFile.Truncate(0);  // nothing of an earlier test's data stays behind
  doc.backgroundIndex = 0;
  doc.globalColorCount = 0;
  loadedColorCount = 0;
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

std::vector<uint8_t> StoredBlock(int index) {
  const Frame& frame = *doc.frames[index];
  std::vector<uint8_t> block(static_cast<size_t>(RowStride(frame.width)) * frame.height);
  if (!block.empty()) doc.swapFile.ReadBlockAt(frame.dataOffset, block.data(), static_cast<uint32_t>(block.size()));
  return block;
}

std::vector<uint8_t> FramePixels(int index) {
  const Frame& frame = *doc.frames[index];
  int32_t stride = RowStride(frame.width);
  std::vector<uint8_t> block = StoredBlock(index);
  std::vector<uint8_t> rows;
  for (int y = frame.height - 1; y >= 0; --y)
    rows.insert(rows.end(), block.begin() + y * stride, block.begin() + y * stride + frame.width);
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
  for (size_t p = 0; p < pixels.size(); ++p) {
    block[static_cast<size_t>(height - 1 - p / width) * stride + p % width] = pixels[p];
    frame.usedColors[pixels[p]] = 1;
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
    const Frame& f = *doc.frames[i];
    Entry e;
    if ((e.comment = IsComment(f)))
      e.text = CommentText(i);
    else
      e = Entry{false, "", f.left, f.top, f.width, f.height, f.delay, f.disposal, f.transparent != 0,
                f.transparentIndex, f.interlaced != 0, f.useGlobalPalette != 0, FrameColours(i), FramePixels(i)};
    entries.push_back(std::move(e));
  }
  return entries;
}

std::vector<Entry> WithoutEmptyComments(std::vector<Entry> entries) {
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [](const Entry& e) { return e.comment && e.text.empty(); }),
                entries.end());
  return entries;
}

namespace {

std::string Hex(uint32_t colour) {
  char text[12];
  snprintf(text, sizeof text, "%06X", colour);
  return colour == kTransparentPixel ? "transparent" : text;
}

// An entry's fields as one line: a comment's length, or an image's place,
// timing and transparency, and with storage how the image is kept (the
// transparent index only where it shows).
std::string Fields(const Entry& e, unsigned compareAlso) {
  if (e.comment) return "comment of " + std::to_string(e.text.size()) + " bytes";
  std::string text = "(" + std::to_string(e.left) + "," + std::to_string(e.top) + ") " + std::to_string(e.width) +
                     "x" + std::to_string(e.height) + " delay " + std::to_string(e.delay) + " disposal " +
                     std::to_string(e.disposal) + (e.transparent ? " transparent" : "");
  if (compareAlso & kStorage)
    text += std::string(e.interlaced ? " interlaced" : "") + (e.useGlobalPalette ? " global" : "") +
            (e.transparent ? " index " + std::to_string(e.transparentIndex) : "");
  return text;
}

}  // namespace

std::vector<std::string> EntryDifferences(const std::vector<Entry>& want, const std::vector<Entry>& got,
                                          unsigned compareAlso) {
  if (want.size() != got.size())
    return {"entries: expected " + std::to_string(want.size()) + ", got " + std::to_string(got.size())};
  std::vector<std::string> faults;
  for (size_t i = 0; i < want.size(); ++i) {
    const Entry& a = want[i];
    const Entry& b = got[i];
    const std::string where = "entry " + std::to_string(i);
    if (Fields(a, compareAlso) != Fields(b, compareAlso)) {
      faults.push_back(where + ": expected " + Fields(a, compareAlso) + ", got " + Fields(b, compareAlso));
      continue;
    }
    if (a.comment && a.text != b.text) faults.push_back(where + ": comment text differs");
    for (size_t p = 0; p < a.colours.size(); ++p) {
      bool sameColour = a.colours[p] == b.colours[p] || a.colours[p] == kAnyColour || b.colours[p] == kAnyColour;
      if (sameColour && (!(compareAlso & kIndices) || a.indices[p] == b.indices[p])) continue;
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

CliResult RunTool(std::vector<std::string> args) {
  ResetDocument();  // as a process of its own starts
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
