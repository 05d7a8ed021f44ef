// Interoperability of the GIF reader with giflib: every GIF in tests/data
// that giflib's DGifSlurp reads must come out of ReadGif as the same entries
// in the same order (images and comments), with the same rectangles, timing,
// disposal, transparency, colours of the used indices and pixel indices.
// Files where we differ on purpose, and files giflib refuses, are listed in
// kExpectations below, one line each.
#if FRAMBO_HAVE_GIFLIB

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/load_file.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

enum class Outcome {
  kSame,           // giflib reads it and so do we, to the same entries
  kFirst180,       // more than 180 entries: we stop at the 181st with a read error and keep 180
  kOurReadError,   // giflib reads it, we refuse it on purpose with one read error
  kCommentCapped,  // a comment past 32767 bytes (its 16-bit length): we keep its first 32767
  kGiflibRefuses,  // DGifSlurp fails: we must fail with one read error or succeed, never crash
};

struct Expectation {
  const char* file;
  Outcome outcome;
};

// Files not listed here are expected to be kSame.
constexpr Expectation kExpectations[] = {
    {"frames-181.gif", Outcome::kFirst180},                // 181 images
    {"entries-181-with-comment.gif", Outcome::kFirst180},  // a comment and 180 images
    {"gifplayer-muybridge.gif", Outcome::kFirst180},       // 380 images
    {"width-40000.gif", Outcome::kOurReadError},     // frame width does not fit the 16-bit field
    {"comment-40000.gif", Outcome::kCommentCapped},  // a 40000-byte comment
    // giflib's DGifSlurp wants at least one image.
    {"artificial-no-frames.gif", Outcome::kGiflibRefuses},
    {"comment-only.gif", Outcome::kGiflibRefuses},
    // Fewer pixels than width x height: our rows past the data stay index 0.
    {"artificial-pixel-data-none.gif", Outcome::kGiflibRefuses},
    {"artificial-pixel-data-not-enough.gif", Outcome::kGiflibRefuses},
    // A 0x0 frame; we drop it.
    {"artificial-zero-width-frame.gif", Outcome::kGiflibRefuses},
    // A comment extension without any data sub-block (21 FE 00).
    {"comment-empty.gif", Outcome::kGiflibRefuses},
    // Cut short: inside the LZW data, or just before the trailer.
    {"hippopotamus-interlaced-truncated.gif", Outcome::kGiflibRefuses},
    {"malformed-truncated-in-lzw.gif", Outcome::kGiflibRefuses},
    {"malformed-missing-trailer.gif", Outcome::kGiflibRefuses},
    {"malformed-truncated-header.gif", Outcome::kGiflibRefuses},
    {"malformed-empty.gif", Outcome::kGiflibRefuses},
    {"malformed-not-a-gif.gif", Outcome::kGiflibRefuses},
    {"malformed-lzw-min-code-size-12.gif", Outcome::kGiflibRefuses},
};

Outcome ExpectedOutcome(const std::string& file) {
  for (const Expectation& e : kExpectations) {
    if (file == e.file) return e.outcome;
  }
  return Outcome::kSame;
}

// One entry as our reader should make it from what giflib delivers.
struct ExpectedEntry {
  bool comment = false;
  std::string text;
  const SavedImage* image = nullptr;
  int delay = 0;
  int disposal = 0;
  bool transparent = false;
  int transparentIndex = 0;
};

// Mirrors how our reader turns extensions into entries: a graphic control
// opens a pending entry (a second one overwrites it), a comment becomes an
// entry of its own and takes over the pending one, anything else is skipped.
// giflib keeps a comment's later sub-blocks as CONTINUE blocks behind it.
struct EntryWalker {
  std::vector<ExpectedEntry> entries;
  bool hasPending = false;
  ExpectedEntry pending;

  void Extensions(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i < count; ++i) {
      const ExtensionBlock& block = blocks[i];
      if (block.Function == GRAPHICS_EXT_FUNC_CODE && block.ByteCount >= 4) {
        hasPending = true;
        pending = ExpectedEntry();
        pending.disposal = (block.Bytes[0] >> 2) & 7;
        pending.transparent = (block.Bytes[0] & 1) != 0;
        pending.delay = block.Bytes[1] | block.Bytes[2] << 8;
        pending.transparentIndex = block.Bytes[3];
      } else if (block.Function == COMMENT_EXT_FUNC_CODE) {
        ExpectedEntry comment;
        comment.comment = true;
        comment.text.assign(reinterpret_cast<const char*>(block.Bytes), block.ByteCount);
        while (i + 1 < count && blocks[i + 1].Function == CONTINUE_EXT_FUNC_CODE) {
          ++i;
          comment.text.append(reinterpret_cast<const char*>(blocks[i].Bytes), blocks[i].ByteCount);
        }
        entries.push_back(comment);
        hasPending = false;
      }
    }
  }

  void Image(const SavedImage& image) {
    ExpectedEntry entry = hasPending ? pending : ExpectedEntry();
    entry.image = &image;
    entries.push_back(entry);
    hasPending = false;
  }
};

std::vector<ExpectedEntry> ExpectedEntries(const GifFileType& gif) {
  EntryWalker walker;
  for (int i = 0; i < gif.ImageCount; ++i) {
    const SavedImage& image = gif.SavedImages[i];
    walker.Extensions(image.ExtensionBlocks, image.ExtensionBlockCount);
    walker.Image(image);
  }
  // Comments after the last image; a trailing graphic control leaves nothing.
  walker.Extensions(gif.ExtensionBlocks, gif.ExtensionBlockCount);
  return walker.entries;
}

// giflib's file handle, closed on every path out of a test.
struct GiflibFile {
  GifFileType* gif = nullptr;
  bool slurped = false;
  explicit GiflibFile(const std::string& path) {
    int error = 0;
    gif = DGifOpenFileName(path.c_str(), &error);
    slurped = gif != nullptr && DGifSlurp(gif) == GIF_OK;
  }
  ~GiflibFile() {
    int error = 0;
    if (gif != nullptr) DGifCloseFile(gif, &error);
  }
};

std::vector<std::string> DataGifs() {
  std::vector<std::string> files;
  for (const auto& item : std::filesystem::directory_iterator(FRAMBO_TEST_DATA)) {
    std::string name = item.path().filename().string();
    if (item.path().extension() == ".gif") files.push_back(name);
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool LoadIntoDocument(const std::string& path) {
  ResetDocument();
  return LoadDocument(path.c_str());
}

std::string Describe(int index, const char* what, long long expected, long long got) {
  return "entry " + std::to_string(index) + " " + what + ": expected " + std::to_string(expected) +
         ", got " + std::to_string(got);
}

// Every way entry `index` of the document differs from `expected`, or
// nothing. Pixels and colours report only their first difference.
std::vector<std::string> CompareEntry(int index, const ExpectedEntry& expected,
                                      const ColorMapObject* globalMap) {
  std::vector<std::string> faults;
  const Frame& frame = *doc.frames[index];
  if (expected.comment != IsComment(frame)) {
    faults.push_back("entry " + std::to_string(index) + ": expected " +
                     (expected.comment ? "a comment" : "an image") + ", got " +
                     (IsComment(frame) ? "a comment" : "an image"));
    return faults;
  }
  if (expected.comment) {
    if (frame.left != static_cast<long long>(expected.text.size())) {
      faults.push_back(Describe(index, "comment length", expected.text.size(), frame.left));
      return faults;
    }
    if (CommentText(index) != expected.text)
      faults.push_back("entry " + std::to_string(index) + ": comment text differs");
    return faults;
  }

  const GifImageDesc& desc = expected.image->ImageDesc;
  const struct {
    const char* name;
    long long expected;
    long long got;
  } fields[] = {
      {"left", desc.Left, frame.left},
      {"top", desc.Top, frame.top},
      {"width", desc.Width, frame.width},
      {"height", desc.Height, frame.height},
      {"delay", expected.delay, frame.delay},
      {"disposal", expected.disposal, frame.disposal},
      {"transparent", expected.transparent, frame.transparent},
      {"interlaced", desc.Interlace, frame.interlaced != 0},
      {"useGlobalPalette", desc.ColorMap == nullptr, frame.useGlobalPalette},
  };
  for (const auto& field : fields) {
    if (field.expected != field.got)
      faults.push_back(Describe(index, field.name, field.expected, field.got));
  }
  if (expected.transparent && expected.transparentIndex != frame.transparentIndex)
    faults.push_back(
        Describe(index, "transparentIndex", expected.transparentIndex, frame.transparentIndex));
  if (!faults.empty()) return faults;

  // DGifSlurp hands back the raster top-down and already de-interlaced
  // (treescap.gif and treescap-interlaced.gif give the same bytes).
  const int width = desc.Width;
  const int height = desc.Height;
  const std::vector<uint8_t> stored = FramePixels(index);
  const GifByteType* raster = expected.image->RasterBits;
  bool used[256] = {};
  bool pixelsReported = false;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = stored.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      uint8_t want = raster[static_cast<size_t>(y) * width + x];
      used[want] = true;
      if (row[x] != want && !pixelsReported) {
        faults.push_back("entry " + std::to_string(index) + " pixel (" + std::to_string(x) + "," +
                         std::to_string(y) + "): expected " + std::to_string(want) + ", got " +
                         std::to_string(row[x]));
        pixelsReported = true;
      }
    }
  }

  // A frame without any colour table (artificial-empty-palette.gif) has no
  // colours to agree on; nor has an index beyond the table's end.
  const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : globalMap;
  if (map == nullptr) return faults;
  for (int i = 0; i < 256 && i < map->ColorCount; ++i) {
    if (!used[i]) continue;
    const GifColorType& want = map->Colors[i];
    const PaletteEntry& got = frame.palette[i];
    if (want.Red != got.red || want.Green != got.green || want.Blue != got.blue) {
      char text[160];
      snprintf(text, sizeof text, "entry %d colour %d: expected %02X%02X%02X, got %02X%02X%02X",
               index, i, want.Red, want.Green, want.Blue, got.red, got.green, got.blue);
      faults.push_back(text);
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

class ReaderAgreesWithGiflib : public testing::TestWithParam<std::string> {};

TEST_P(ReaderAgreesWithGiflib, OnEveryDataFile) {
  const std::string file = GetParam();
  const Outcome outcome = ExpectedOutcome(file);
  GiflibFile reference(TestDataPath(file));
  bool ours = LoadIntoDocument(TestDataPath(file));
  const auto& messages = headlessUi().messages;

  if (!reference.slurped) {
    ASSERT_EQ(outcome, Outcome::kGiflibRefuses)
        << file
        << ": giflib refuses it; expected it to read the file (or list it in kExpectations)";
    if (!ours) {
      ASSERT_EQ(messages.size(), 1u)
          << file << ": expected one message after a failed read, got " << messages.size();
      EXPECT_EQ(messages[0], "Error in reading file");
    } else {
      EXPECT_TRUE(messages.empty())
          << file << ": read succeeded, yet a message was shown: " << messages[0];
    }
    return;
  }
  ASSERT_NE(outcome, Outcome::kGiflibRefuses) << file << ": listed as refused, yet giflib reads it";

  if (outcome == Outcome::kOurReadError) {
    EXPECT_FALSE(ours) << file << ": expected a read error, got a successful read";
    ASSERT_EQ(messages.size(), 1u) << file << ": expected one message, got " << messages.size();
    return;
  }

  std::vector<ExpectedEntry> expected = ExpectedEntries(*reference.gif);
  if (outcome == Outcome::kCommentCapped) {
    for (ExpectedEntry& entry : expected) {
      if (entry.comment && entry.text.size() > 32767) entry.text.resize(32767);
    }
  }
  if (outcome == Outcome::kFirst180) {
    ASSERT_GT(expected.size(), static_cast<size_t>(kMaxEntries)) << file;
    expected.resize(kMaxEntries);
    EXPECT_FALSE(ours) << file << ": expected a read error at entry 181, got a successful read";
    ASSERT_EQ(messages.size(), 1u) << file << ": expected one message, got " << messages.size();
    EXPECT_EQ(messages[0], "Error in reading file");
  } else {
    EXPECT_TRUE(ours) << file << ": expected a successful read, got "
                      << (messages.empty() ? std::string("no message") : messages[0]);
  }

  ASSERT_EQ(static_cast<size_t>(doc.frameCount), expected.size()) << file << ": entry count";
  // The background index is taken only when the whole file was read.
  if (ours) {
    EXPECT_EQ(doc.backgroundIndex, reference.gif->SBackGroundColor) << file << ": background index";
  }
  std::vector<std::string> faults;
  for (size_t i = 0; i < expected.size(); ++i) {
    std::vector<std::string> more =
        CompareEntry(static_cast<int>(i), expected[i], reference.gif->SColorMap);
    faults.insert(faults.end(), more.begin(), more.end());
  }
  EXPECT_TRUE(faults.empty()) << file << " differs from giflib:\n" << Join(faults);
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.size() - 4);
  for (char& c : name) {
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(DataFiles, ReaderAgreesWithGiflib, testing::ValuesIn(DataGifs()),
                         TestName);

TEST(ReaderGiflibExpectations, EveryListedFileIsInTestData) {
  std::vector<std::string> files = DataGifs();
  for (const Expectation& e : kExpectations) {
    EXPECT_TRUE(std::find(files.begin(), files.end(), e.file) != files.end())
        << "expected " << e.file << " in tests/data, got no such file";
  }
}

}  // namespace

#endif  // FRAMBO_HAVE_GIFLIB
