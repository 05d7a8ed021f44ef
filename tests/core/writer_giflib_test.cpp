// Interoperability of the GIF writer: every file WriteGif makes from
// tests/data is read by giflib's DGifSlurp to the same entries, rectangles,
// timing, transparency and colour at every pixel as our reading of the
// source, through colour tables that hold every index the pixels use; and
// ImageMagick's identify reads it without a warning.
#if FRAMBO_HAVE_GIFLIB

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/gif_writer.h"
#include "document/load_file.h"
#include "document/settings.h"
#include "test_support.h"

namespace {

constexpr char kCreditStart[] = "GIF assembled with Pelmor's Frambo\n";
constexpr uint32_t kTransparentPixel = 0xFF000000u;

// One entry: a comment's text, or an image's fields and colours.
struct Entry {
  bool comment = false;
  std::string text;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int delay = 0;
  int disposal = 0;
  bool transparent = false;
  std::vector<uint32_t> colours;  // top-down rows: 0xRRGGBB or kTransparentPixel
};

std::vector<Entry> EntriesOfDocument() {
  std::vector<Entry> entries;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    Entry entry;
    entry.comment = IsComment(frame);
    if (entry.comment) {
      entry.text = CommentText(i);
      entries.push_back(std::move(entry));
      continue;
    }
    entry.left = frame.left;
    entry.top = frame.top;
    entry.width = frame.width;
    entry.height = frame.height;
    entry.delay = frame.delay;
    entry.disposal = frame.disposal;
    entry.transparent = frame.transparent != 0;
    for (uint8_t index : FramePixels(i)) {
      const PaletteEntry& c = frame.palette[index];
      bool clear = frame.transparent && index == (frame.transparentIndex & 0xFF);
      entry.colours.push_back(clear ? kTransparentPixel
                                    : static_cast<uint32_t>(c.red) << 16 | c.green << 8 | c.blue);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

// giflib's file handle, closed on every path out of a test.
struct GiflibFile {
  GifFileType* gif = nullptr;
  int error = 0;
  bool slurped = false;
  explicit GiflibFile(const std::string& path) {
    gif = DGifOpenFileName(path.c_str(), &error);
    if (gif != nullptr) {
      slurped = DGifSlurp(gif) == GIF_OK;
      if (!slurped) error = gif->Error;
    }
  }
  ~GiflibFile() {
    int ignored = 0;
    if (gif != nullptr) DGifCloseFile(gif, &ignored);
  }
};

// giflib's view of the written file as entries, plus every fault of the file
// itself: an image without a colour table, or pixels beyond the table's end.
struct GiflibView {
  std::vector<Entry> entries;
  std::vector<std::string> faults;
};

void TakeExtensions(const ExtensionBlock* blocks, int count, GraphicsControlBlock* control,
                    bool* hasControl, std::vector<Entry>* entries) {
  for (int i = 0; i < count; ++i) {
    const ExtensionBlock& block = blocks[i];
    if (block.Function == GRAPHICS_EXT_FUNC_CODE) {
      *hasControl = DGifExtensionToGCB(block.ByteCount, block.Bytes, control) == GIF_OK;
    } else if (block.Function == COMMENT_EXT_FUNC_CODE) {
      Entry comment;
      comment.comment = true;
      comment.text.assign(reinterpret_cast<const char*>(block.Bytes), block.ByteCount);
      while (i + 1 < count && blocks[i + 1].Function == CONTINUE_EXT_FUNC_CODE) {
        ++i;
        comment.text.append(reinterpret_cast<const char*>(blocks[i].Bytes), blocks[i].ByteCount);
      }
      entries->push_back(std::move(comment));
    }
  }
}

GiflibView ViewOf(const GifFileType& gif) {
  GiflibView view;
  for (int n = 0; n < gif.ImageCount; ++n) {
    const SavedImage& image = gif.SavedImages[n];
    GraphicsControlBlock control{};
    bool hasControl = false;
    TakeExtensions(image.ExtensionBlocks, image.ExtensionBlockCount, &control, &hasControl,
                   &view.entries);
    const GifImageDesc& desc = image.ImageDesc;
    Entry entry;
    entry.left = desc.Left;
    entry.top = desc.Top;
    entry.width = desc.Width;
    entry.height = desc.Height;
    if (hasControl) {
      entry.delay = control.DelayTime;
      entry.disposal = control.DisposalMode;
      entry.transparent = control.TransparentColor != NO_TRANSPARENT_COLOR;
    }
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif.SColorMap;
    const std::string where = "image " + std::to_string(n);
    if (map == nullptr) {
      view.faults.push_back(where + ": expected a colour table, got none");
      continue;
    }
    const size_t count = static_cast<size_t>(desc.Width) * desc.Height;
    bool reported = false;
    for (size_t p = 0; p < count; ++p) {
      int index = image.RasterBits[p];
      if (index >= map->ColorCount) {
        if (!reported)
          view.faults.push_back(where + " pixel " + std::to_string(p) + ": index " +
                                std::to_string(index) + " beyond the " +
                                std::to_string(map->ColorCount) + "-colour table");
        reported = true;
        entry.colours.push_back(0);
        continue;
      }
      const GifColorType& c = map->Colors[index];
      bool clear = entry.transparent && index == control.TransparentColor;
      entry.colours.push_back(clear ? kTransparentPixel
                                    : static_cast<uint32_t>(c.Red) << 16 | c.Green << 8 | c.Blue);
    }
    view.entries.push_back(std::move(entry));
  }
  // Comments behind the last image.
  GraphicsControlBlock trailing{};
  bool hasTrailing = false;
  TakeExtensions(gif.ExtensionBlocks, gif.ExtensionBlockCount, &trailing, &hasTrailing,
                 &view.entries);
  return view;
}

std::vector<std::string> Differences(const std::vector<Entry>& want,
                                     const std::vector<Entry>& got) {
  std::vector<std::string> faults;
  if (want.size() != got.size()) {
    faults.push_back("entries: expected " + std::to_string(want.size()) + ", got " +
                     std::to_string(got.size()));
    return faults;
  }
  for (size_t i = 0; i < want.size(); ++i) {
    const Entry& a = want[i];
    const Entry& b = got[i];
    const std::string where = "entry " + std::to_string(i);
    if (a.comment != b.comment) {
      faults.push_back(where + ": expected " + (a.comment ? "a comment" : "an image") + ", got " +
                       (b.comment ? "a comment" : "an image"));
      continue;
    }
    if (a.comment) {
      if (a.text != b.text)
        faults.push_back(where + ": expected a comment of " + std::to_string(a.text.size()) +
                         " bytes, got " + std::to_string(b.text.size()) + " different bytes");
      continue;
    }
    const struct {
      const char* name;
      int expected;
      int got;
    } fields[] = {{"left", a.left, b.left},         {"top", a.top, b.top},
                  {"width", a.width, b.width},      {"height", a.height, b.height},
                  {"delay", a.delay, b.delay},      {"disposal", a.disposal, b.disposal},
                  {"transparent", a.transparent, b.transparent}};
    for (const auto& field : fields) {
      if (field.expected != field.got)
        faults.push_back(where + " " + field.name + ": expected " + std::to_string(field.expected) +
                         ", got " + std::to_string(field.got));
    }
    if (a.colours.size() != b.colours.size()) continue;
    for (size_t p = 0; p < a.colours.size(); ++p) {
      if (a.colours[p] == b.colours[p]) continue;
      char text[160];
      snprintf(text, sizeof text, "%s pixel (%d,%d): expected %08X, got %08X", where.c_str(),
               static_cast<int>(p % a.width), static_cast<int>(p / a.width), a.colours[p],
               b.colours[p]);
      faults.push_back(text);
      break;
    }
  }
  return faults;
}

// The document's image entries against giflib's images, table by table.
std::vector<std::string> PaletteDifferences(const GifFileType& gif) {
  std::vector<std::string> faults;
  int image = 0;
  for (int i = 0; i < doc.frameCount && image < gif.ImageCount; ++i) {
    const Frame& frame = *doc.frames[i];
    if (IsComment(frame)) continue;
    const GifImageDesc& desc = gif.SavedImages[image].ImageDesc;
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif.SColorMap;
    for (int c = 0; map != nullptr && c < map->ColorCount && c < 256; ++c) {
      const GifColorType& want = map->Colors[c];
      const PaletteEntry& got = frame.palette[c];
      if (want.Red == got.red && want.Green == got.green && want.Blue == got.blue) continue;
      char text[160];
      snprintf(text, sizeof text, "image %d colour %d: expected %02X%02X%02X, got %02X%02X%02X",
               image, c, want.Red, want.Green, want.Blue, got.red, got.green, got.blue);
      faults.push_back(text);
      break;
    }
    ++image;
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
  for (const auto& item : std::filesystem::directory_iterator(FRAMBO_TEST_DATA)) {
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

bool HasImage(const std::vector<Entry>& entries) {
  return std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return !e.comment; });
}

// Reads the data file and writes it with the credit on, so that the written
// comments are read too. False when our reader refuses the file.
bool WriteFromData(const std::string& file, const std::string& path, std::vector<Entry>* source) {
  ResetDocument();
  if (!LoadDocument(TestDataPath(file).c_str())) return false;
  *source = EntriesOfDocument();
  // The writer leaves empty comments out: giflib refuses a comment without
  // data (tests/data/comment-empty.gif).
  source->erase(std::remove_if(source->begin(), source->end(),
                               [](const Entry& e) { return e.comment && e.text.empty(); }),
                source->end());
  Settings saved = settings;
  settings.addCreditComment = 1;
  settings.interlacedSave = 0;
  bool written = WriteGif(path.c_str());
  settings = saved;
  EXPECT_TRUE(written) << file << ": expected the save to succeed, got a failure";
  return true;
}

class WrittenFile : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override { path_ = ScratchPath("written-" + GetParam()); }
  void TearDown() override { remove(path_.c_str()); }
  std::string path_;
};

TEST_P(WrittenFile, GiflibReadsTheSameColoursAndEntries) {
  const std::string file = GetParam();
  std::vector<Entry> source;
  if (!WriteFromData(file, path_, &source)) GTEST_SKIP() << file << ": the reader refuses it";
  const int screenWidth = doc.screenWidth;
  const int screenHeight = doc.screenHeight;
  GiflibFile written(path_);
  if (!HasImage(source)) {
    // DGifSlurp wants an image; it must get that far and no farther.
    EXPECT_EQ(written.error, D_GIF_ERR_NO_IMAG_DSCR)
        << file << ": expected giflib to miss only the image, got " << GifErrorString(written.error);
    return;
  }
  ASSERT_TRUE(written.slurped) << file << ": expected giflib to read the written file, got "
                               << GifErrorString(written.error);
  EXPECT_EQ(written.gif->SWidth, screenWidth) << file << ": screen width";
  EXPECT_EQ(written.gif->SHeight, screenHeight) << file << ": screen height";
  GiflibView view = ViewOf(*written.gif);
  EXPECT_TRUE(view.faults.empty()) << file << ": the written file is faulty:\n" << Join(view.faults);

  // A full frame list has no room for the credit.
  if (source.size() < static_cast<size_t>(kMaxEntries)) {
    ASSERT_FALSE(view.entries.empty()) << file << ": expected the credit comment, got no entries";
    EXPECT_TRUE(view.entries[0].comment &&
                view.entries[0].text.compare(0, strlen(kCreditStart), kCreditStart) == 0)
        << file << ": expected the credit comment first";
    view.entries.erase(view.entries.begin());
  }
  std::vector<std::string> faults = Differences(source, view.entries);
  EXPECT_TRUE(faults.empty()) << file << ": giflib reads the written file differently:\n"
                              << Join(faults);

  // Both readers take the same colour table for each image.
  ASSERT_TRUE(LoadDocument(path_.c_str())) << file << ": expected to read the written file back";
  faults = PaletteDifferences(*written.gif);
  EXPECT_TRUE(faults.empty()) << file << ": the colour tables differ:\n" << Join(faults);
}

bool HaveIdentify() { return system("identify -version >/dev/null 2>&1") == 0; }

std::string ReadText(const std::string& path) {
  std::string text;
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return text;
  char chunk[512];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
  fclose(file);
  return text;
}

TEST_P(WrittenFile, IdentifyReadsItWithoutWarning) {
  static const bool haveIdentify = HaveIdentify();
  if (!haveIdentify) GTEST_SKIP() << "ImageMagick's identify is not installed";
  const std::string file = GetParam();
  std::vector<Entry> source;
  if (!WriteFromData(file, path_, &source)) GTEST_SKIP() << file << ": the reader refuses it";
  if (!HasImage(source)) GTEST_SKIP() << file << ": identify reads no GIF without an image";
  const std::string errors = path_ + ".stderr";
  const std::string command =
      "identify -regard-warnings '" + path_ + "' >/dev/null 2>'" + errors + "'";
  int status = system(command.c_str());
  std::string said = ReadText(errors);
  remove(errors.c_str());
  ASSERT_TRUE(WIFEXITED(status)) << file << ": identify did not exit";
  EXPECT_EQ(WEXITSTATUS(status), 0) << file << ": expected identify to exit 0, got "
                                    << WEXITSTATUS(status) << ": " << said;
  EXPECT_EQ(said, "") << file << ": expected nothing on identify's stderr";
}

INSTANTIATE_TEST_SUITE_P(DataFiles, WrittenFile, testing::ValuesIn(DataGifs()), TestName);

}  // namespace

#endif  // FRAMBO_HAVE_GIFLIB
