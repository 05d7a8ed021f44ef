// Save round trips: every GIF in tests/data that the reader takes is written
// with WriteGif and read back to the same entries, rectangles, timing,
// disposal, transparency and colour at every pixel. Colours are compared
// through each frame's palette, since saving rebuilds the global palette.
// Then the credit comment, interlaced saving, and frambo-cli's convert and
// colors commands, which end in the same save.
#include "document/gif_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "document/document.h"
#include "document/load_file.h"
#include "document/settings.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr char kCreditStart[] = "GIF assembled with Pelmor's Frambo\n";
// No colour has these bits set: a transparent pixel is its own value.
constexpr uint32_t kTransparentPixel = 0xFF000000u;

// What an entry shows, independent of how its palette is ordered.
struct EntryShape {
  bool comment = false;
  std::string text;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int delay = 0;
  int disposal = 0;
  bool transparent = false;
  bool interlaced = false;
  std::vector<uint32_t> colours;  // top-down rows: 0xRRGGBB or kTransparentPixel
  std::vector<uint8_t> indices;
};

struct DocumentShape {
  int screenWidth = 0;
  int screenHeight = 0;
  std::vector<EntryShape> entries;
};

uint32_t PixelColour(const Frame& frame, uint8_t index) {
  if (frame.transparent && index == (frame.transparentIndex & 0xFF)) return kTransparentPixel;
  const PaletteEntry& c = frame.palette[index];
  return static_cast<uint32_t>(c.red) << 16 | c.green << 8 | c.blue;
}

DocumentShape ShapeOfDocument() {
  DocumentShape shape;
  shape.screenWidth = doc.screenWidth;
  shape.screenHeight = doc.screenHeight;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    EntryShape entry;
    entry.comment = IsComment(frame);
    if (entry.comment) {
      entry.text = CommentText(i);
    } else {
      entry.left = frame.left;
      entry.top = frame.top;
      entry.width = frame.width;
      entry.height = frame.height;
      entry.delay = frame.delay;
      entry.disposal = frame.disposal;
      entry.transparent = frame.transparent != 0;
      entry.interlaced = frame.interlaced != 0;
      entry.indices = FramePixels(i);
      entry.colours.reserve(entry.indices.size());
      for (uint8_t index : entry.indices) entry.colours.push_back(PixelColour(frame, index));
    }
    shape.entries.push_back(std::move(entry));
  }
  return shape;
}

// What a save should keep of shape: every entry but the empty comments,
// which the writer leaves out (giflib refuses a comment without data,
// tests/data/comment-empty.gif).
DocumentShape Saved(DocumentShape shape) {
  auto& entries = shape.entries;
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [](const EntryShape& e) { return e.comment && e.text.empty(); }),
                entries.end());
  return shape;
}

bool Load(const std::string& path) {
  ResetDocument();
  return LoadDocument(path.c_str());
}

// Writes the document with the settings given, restoring them afterwards.
bool Save(const std::string& path, bool credit, bool interlaced) {
  Settings saved = settings;
  settings.addCreditComment = credit ? 1 : 0;
  settings.interlacedSave = interlaced ? 1 : 0;
  bool written = WriteGif(path.c_str());
  settings = saved;
  return written;
}

std::string Pixel(int x, int y) {
  return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

std::string Hex(uint32_t colour) {
  if (colour == kTransparentPixel) return "transparent";
  char text[8];
  snprintf(text, sizeof text, "%06X", colour);
  return text;
}

enum class Compare { kColours, kColoursAndIndices };

// Every way got differs from want, one line each; pixels report only their
// first difference per entry. The interlaced flag is not compared: it is the
// save's choice.
std::vector<std::string> Differences(const DocumentShape& want, const DocumentShape& got,
                                     Compare compare) {
  std::vector<std::string> faults;
  auto field = [&faults](size_t index, const char* name, long long expected, long long actual) {
    if (expected != actual)
      faults.push_back("entry " + std::to_string(index) + " " + name + ": expected " +
                       std::to_string(expected) + ", got " + std::to_string(actual));
  };
  // The writer sizes the screen to what the frames reach; it must hold them all.
  for (size_t i = 0; i < got.entries.size(); ++i) {
    const EntryShape& e = got.entries[i];
    if (!e.comment && (e.left + e.width > got.screenWidth || e.top + e.height > got.screenHeight))
      faults.push_back("entry " + std::to_string(i) + ": expected within the " +
                       std::to_string(got.screenWidth) + "x" + std::to_string(got.screenHeight) +
                       " screen, got " + std::to_string(e.width) + "x" + std::to_string(e.height) +
                       " at (" + std::to_string(e.left) + "," + std::to_string(e.top) + ")");
  }
  if (want.entries.size() != got.entries.size()) {
    faults.push_back("entries: expected " + std::to_string(want.entries.size()) + ", got " +
                     std::to_string(got.entries.size()));
    return faults;
  }
  for (size_t i = 0; i < want.entries.size(); ++i) {
    const EntryShape& a = want.entries[i];
    const EntryShape& b = got.entries[i];
    if (a.comment != b.comment) {
      faults.push_back("entry " + std::to_string(i) + ": expected " +
                       (a.comment ? "a comment" : "an image") + ", got " +
                       (b.comment ? "a comment" : "an image"));
      continue;
    }
    if (a.comment) {
      field(i, "comment length", a.text.size(), b.text.size());
      if (a.text.size() == b.text.size() && a.text != b.text)
        faults.push_back("entry " + std::to_string(i) + ": comment text differs");
      continue;
    }
    field(i, "left", a.left, b.left);
    field(i, "top", a.top, b.top);
    field(i, "width", a.width, b.width);
    field(i, "height", a.height, b.height);
    field(i, "delay", a.delay, b.delay);
    field(i, "disposal", a.disposal, b.disposal);
    field(i, "transparent", a.transparent, b.transparent);
    if (a.width != b.width || a.height != b.height) continue;
    for (size_t p = 0; p < a.colours.size(); ++p) {
      bool sameIndex = compare == Compare::kColours || a.indices[p] == b.indices[p];
      if (a.colours[p] == b.colours[p] && sameIndex) continue;
      int x = static_cast<int>(p % a.width);
      int y = static_cast<int>(p / a.width);
      faults.push_back("entry " + std::to_string(i) + " pixel " + Pixel(x, y) + ": expected " +
                       Hex(a.colours[p]) + " index " + std::to_string(a.indices[p]) + ", got " +
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

std::vector<std::string> DataGifs() {
  std::vector<std::string> files;
  for (const auto& item : fs::directory_iterator(FRAMBO_TEST_DATA)) {
    if (item.path().extension() == ".gif") files.push_back(item.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.size() - 4);
  for (char& c : name) {
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class SaveRoundTrip : public testing::TestWithParam<std::string> {
 protected:
  void TearDown() override {
    remove(ScratchPath("plain-" + GetParam()).c_str());
    remove(ScratchPath("interlaced-" + GetParam()).c_str());
  }
};

TEST_P(SaveRoundTrip, ReadsBackTheSameEntriesAndColours) {
  const std::string file = GetParam();
  if (!Load(TestDataPath(file))) GTEST_SKIP() << file << ": the reader refuses it";
  const DocumentShape source = ShapeOfDocument();
  const DocumentShape expected = Saved(source);
  const std::string path = ScratchPath("plain-" + file);
  ASSERT_TRUE(Save(path, /*credit=*/false, /*interlaced=*/false))
      << file << ": expected the save to succeed, got a failure";
  EXPECT_EQ(doc.frameCount, static_cast<int>(source.entries.size()))
      << file << ": saving without the credit changed the number of entries";
  ASSERT_TRUE(Load(path)) << file << ": expected the saved file to read back, got a read error";
  std::vector<std::string> faults = Differences(expected, ShapeOfDocument(), Compare::kColours);
  EXPECT_TRUE(faults.empty()) << file << " read back differently:\n" << Join(faults);
}

// Interlacing reorders the rows in the file, nothing else.
TEST_P(SaveRoundTrip, InterlacedSaveReadsBackAsThePlainOne) {
  const std::string file = GetParam();
  if (!Load(TestDataPath(file))) GTEST_SKIP() << file << ": the reader refuses it";
  const std::string plainPath = ScratchPath("plain-" + file);
  const std::string interlacedPath = ScratchPath("interlaced-" + file);
  ASSERT_TRUE(Save(plainPath, /*credit=*/false, /*interlaced=*/false)) << file;
  ASSERT_TRUE(Save(interlacedPath, /*credit=*/false, /*interlaced=*/true)) << file;
  ASSERT_TRUE(Load(plainPath)) << file;
  const DocumentShape plain = ShapeOfDocument();
  ASSERT_TRUE(Load(interlacedPath)) << file;
  const DocumentShape interlaced = ShapeOfDocument();
  std::vector<std::string> faults = Differences(plain, interlaced, Compare::kColoursAndIndices);
  EXPECT_TRUE(faults.empty()) << file << " interlaced differs from plain:\n" << Join(faults);
  for (size_t i = 0; i < interlaced.entries.size(); ++i) {
    const EntryShape& entry = interlaced.entries[i];
    if (entry.comment) continue;
    EXPECT_TRUE(entry.interlaced) << file << " entry " << i << ": expected interlaced, got plain";
    EXPECT_FALSE(plain.entries[i].interlaced)
        << file << " entry " << i << ": expected plain, got interlaced";
  }
}

INSTANTIATE_TEST_SUITE_P(DataFiles, SaveRoundTrip, testing::ValuesIn(DataGifs()), TestName);

// One palette for every frame and no more than 256 colours: rebuilding the
// global palette has nothing to merge, so the stored indices stay as they were.
TEST(SaveRoundTripIndices, SharedPaletteFilesKeepTheirIndices) {
  for (const char* file : {"muybridge.gif", "fire.gif", "hippopotamus-regular.gif",
                           "treescap-interlaced.gif", "gifgrid.gif", "dirty-rect-sprite.gif"}) {
    ASSERT_TRUE(Load(TestDataPath(file))) << file;
    for (int i = 0; i < doc.frameCount; ++i) {
      const Frame& frame = *doc.frames[i];
      ASSERT_TRUE(IsComment(frame) || frame.useGlobalPalette)
          << file << " entry " << i << ": expected the global palette, got a local one";
    }
    const DocumentShape source = ShapeOfDocument();
    const std::string path = ScratchPath(std::string("indices-") + file);
    ASSERT_TRUE(Save(path, /*credit=*/false, /*interlaced=*/false)) << file;
    ASSERT_TRUE(Load(path)) << file;
    std::vector<std::string> faults =
        Differences(source, ShapeOfDocument(), Compare::kColoursAndIndices);
    EXPECT_TRUE(faults.empty()) << file << " lost its indices:\n" << Join(faults);
    remove(path.c_str());
  }
}

int CreditCount(const DocumentShape& shape) {
  int count = 0;
  for (const EntryShape& entry : shape.entries) {
    if (entry.comment && entry.text.compare(0, strlen(kCreditStart), kCreditStart) == 0) ++count;
  }
  return count;
}

TEST(SaveCredit, CreditCommentIsEntryZeroAndAddedOnce) {
  ASSERT_TRUE(Load(TestDataPath("muybridge.gif")));
  DocumentShape source = ShapeOfDocument();
  ASSERT_EQ(CreditCount(source), 0);
  const std::string first = ScratchPath("credit-first.gif");
  const std::string second = ScratchPath("credit-second.gif");
  const std::string third = ScratchPath("credit-third.gif");
  // Saving twice in one session, then once more after reopening the result.
  ASSERT_TRUE(Save(first, /*credit=*/true, /*interlaced=*/false));
  ASSERT_TRUE(Save(second, /*credit=*/true, /*interlaced=*/false));
  ASSERT_TRUE(Load(first));
  DocumentShape credited = ShapeOfDocument();
  ASSERT_FALSE(credited.entries.empty());
  ASSERT_TRUE(credited.entries[0].comment) << "expected the credit as entry 0, got an image";
  EXPECT_EQ(credited.entries[0].text.compare(0, strlen(kCreditStart), kCreditStart), 0)
      << "expected entry 0 to start with the credit, got \"" << credited.entries[0].text << "\"";
  EXPECT_EQ(CreditCount(credited), 1);
  // Behind the credit, the file as it was.
  DocumentShape rest = credited;
  rest.entries.erase(rest.entries.begin());
  std::vector<std::string> faults = Differences(source, rest, Compare::kColours);
  EXPECT_TRUE(faults.empty()) << "behind the credit:\n" << Join(faults);

  ASSERT_TRUE(Save(third, /*credit=*/true, /*interlaced=*/false));
  for (const std::string& path : {second, third}) {
    ASSERT_TRUE(Load(path));
    DocumentShape again = ShapeOfDocument();
    EXPECT_EQ(CreditCount(again), 1) << path << ": expected one credit comment";
    EXPECT_TRUE(Differences(credited, again, Compare::kColours).empty()) << path;
  }
  for (const std::string& path : {first, second, third}) remove(path.c_str());
}

// ---- frambo-cli convert and colors ------------------------------------------

struct CliRun {
  int status = -1;
  std::string err;
};

CliRun RunTool(std::vector<std::string> args) {
  args.insert(args.begin(), "frambo-cli");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  CliRun run;
  run.status = RunCli(static_cast<int>(args.size()), argv.data(), out, err);
  rewind(err);
  char chunk[1024];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, err)) > 0) run.err.append(chunk, n);
  fclose(out);
  fclose(err);
  return run;
}

class CliSave : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = ScratchPath(
        "save-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::remove_all(folder_);
    EXPECT_EQ(settings.addCreditComment, 1) << "expected the default restored after the run";
    EXPECT_EQ(settings.interlacedSave, 0) << "expected the default restored after the run";
  }
  std::string Out(const char* name) const { return (folder_ / name).string(); }
  fs::path folder_;
};

TEST_F(CliSave, ConvertAppendsEachFileBehindThePrevious) {
  ASSERT_TRUE(Load(TestDataPath("muybridge.gif")));
  DocumentShape expected = ShapeOfDocument();
  ASSERT_TRUE(Load(TestDataPath("local-color-tables.gif")));
  DocumentShape second = ShapeOfDocument();
  expected.entries.insert(expected.entries.end(), second.entries.begin(), second.entries.end());

  CliRun run = RunTool({"convert", TestDataPath("muybridge.gif"),
                        TestDataPath("local-color-tables.gif"), "-o", Out("both.gif"),
                        "--no-credit"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ASSERT_TRUE(Load(Out("both.gif")));
  std::vector<std::string> faults = Differences(expected, ShapeOfDocument(), Compare::kColours);
  EXPECT_TRUE(faults.empty()) << "convert of two files:\n" << Join(faults);
}

TEST_F(CliSave, ConvertOptionsReachTheSavedFile) {
  CliRun run =
      RunTool({"convert", "--interlaced", "-o", Out("i.gif"), TestDataPath("treescap.gif")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ASSERT_TRUE(Load(Out("i.gif")));
  DocumentShape shape = ShapeOfDocument();
  ASSERT_EQ(CreditCount(shape), 1) << "expected the credit by default";
  EXPECT_TRUE(shape.entries[0].comment) << "expected the credit as entry 0";
  for (const EntryShape& entry : shape.entries) {
    EXPECT_TRUE(entry.comment || entry.interlaced) << "expected --interlaced to interlace";
  }
}

TEST_F(CliSave, ConvertRefusesBadUsageAndReportsFailedFiles) {
  const std::string in = TestDataPath("fire.gif");
  const std::vector<std::vector<std::string>> usage = {
      {"convert", in},                                   // no -o
      {"convert", "-o", Out("x.gif")},                   // no input
      {"convert", in, "-o"},                             // -o without a name
      {"convert", in, "-o", Out("x.gif"), "-o", Out("y.gif")},
      {"convert", in, "-o", Out("x.gif"), "--frame", "1"},
      {"colors", "16", in, "-o", Out("x.gif"), "--interlaced"},
  };
  for (const auto& args : usage) {
    CliRun run = RunTool(args);
    EXPECT_EQ(run.status, kExitUsage) << args[0] << " " << args.back() << ": " << run.err;
  }
  EXPECT_FALSE(fs::exists(Out("x.gif"))) << "expected no file after usage errors";

  // A file that cannot be read stops the run before anything is written.
  CliRun unreadable = RunTool(
      {"convert", in, TestDataPath("malformed-not-a-gif.gif"), "-o", Out("x.gif")});
  EXPECT_EQ(unreadable.status, kExitFileError);
  EXPECT_NE(unreadable.err.find("Error in reading file"), std::string::npos) << unreadable.err;
  EXPECT_FALSE(fs::exists(Out("x.gif"))) << "expected no file after a read error";

  CliRun unwritable = RunTool({"convert", in, "-o", Out("missing-folder/x.gif")});
  EXPECT_EQ(unwritable.status, kExitFileError);
  EXPECT_NE(unwritable.err.find("Error in writing file"), std::string::npos) << unwritable.err;
}

// A colour, or transparency, shown by any pixel of any image entry.
std::set<uint32_t> ColoursShown(const DocumentShape& shape) {
  std::set<uint32_t> colours;
  for (const EntryShape& entry : shape.entries) colours.insert(entry.colours.begin(), entry.colours.end());
  colours.erase(kTransparentPixel);
  return colours;
}

TEST_F(CliSave, ColorsPutsEveryFrameOnOneGlobalPaletteOfAtMostN) {
  ASSERT_TRUE(Load(TestDataPath("local-color-tables.gif")));
  DocumentShape source = ShapeOfDocument();
  ASSERT_GT(ColoursShown(source).size(), 4u);

  CliRun run = RunTool(
      {"colors", "4", TestDataPath("local-color-tables.gif"), "-o", Out("c.gif"), "--no-credit"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ASSERT_TRUE(Load(Out("c.gif")));
  DocumentShape reduced = ShapeOfDocument();
  ASSERT_EQ(reduced.entries.size(), source.entries.size());
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    if (IsComment(frame)) continue;
    EXPECT_TRUE(frame.useGlobalPalette) << "entry " << i << ": expected the global palette";
    EXPECT_EQ(frame.left, source.entries[i].left) << "entry " << i;
    EXPECT_EQ(frame.width, source.entries[i].width) << "entry " << i;
  }
  EXPECT_LE(ColoursShown(reduced).size(), 4u);
  EXPECT_GE(ColoursShown(reduced).size(), 2u);

}

TEST_F(CliSave, ColorsWithRoomForEveryColourKeepsThemAll) {
  // Three local palettes, few colours between them.
  ASSERT_TRUE(Load(TestDataPath("no-global-table.gif")));
  DocumentShape source = ShapeOfDocument();
  ASSERT_LE(ColoursShown(source).size(), 32u);
  CliRun run = RunTool({"colors", "32", TestDataPath("no-global-table.gif"), "-o",
                        Out("all.gif"), "--no-credit"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  ASSERT_TRUE(Load(Out("all.gif")));
  std::vector<std::string> faults = Differences(source, ShapeOfDocument(), Compare::kColours);
  EXPECT_TRUE(faults.empty()) << "colors 32 changed the picture:\n" << Join(faults);
}

TEST_F(CliSave, ColorsRefusesCountsOutside2To256) {
  for (const char* count : {"1", "257", "0", "-4", "16x", "", "abc", "99999999999999999999"}) {
    CliRun run = RunTool({"colors", count, TestDataPath("fire.gif"), "-o", Out("x.gif")});
    EXPECT_EQ(run.status, kExitUsage) << "colors " << count << ": expected 2, got " << run.status;
  }
  CliRun run = RunTool({"colors", "2", TestDataPath("fire.gif"), "-o", Out("x.gif")});
  EXPECT_EQ(run.status, kExitOk) << run.err;
}

}  // namespace
