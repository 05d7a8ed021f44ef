// The GIF writer: the frame list into a GIF89a file. The reader is the other
// direction; whatever this writes, ReadGif reads back to the same entries.
//
// A save never damages the file it replaces: everything is written to a
// temporary file in the target's folder, every write is checked, and only a
// complete, flushed file is moved over the target.
#include "formats/gif_writer.h"

#include <cstdio>
#include <cstring>

#include "colour/global_palette.h"
#include "document/buffered_file.h"
#include "document/document.h"
#include "document/gif_screen.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "formats/lzw_encoder.h"
#include "formats/lzw_limits.h"
#include "platform/file_calls.h"
#include "platform/file_replace.h"
#include "platform/utf8_path.h"

const char creditComment[] = "GIF assembled with Pelmor's Frambo\nframbo@example.com";

namespace {

constexpr uint8_t kTrailer = 0x3B;
// Frames up to this size are read from the swap file in one piece.
constexpr uint64_t kWholeBlockLimit = 1u << 20;

LzwEncoder encoder;

// A block of at most 1 KiB composed in memory and written with one call: the
// screen with its table, or an image's control, descriptor and table.
struct Bytes {
  uint8_t data[1024];
  int count = 0;

  void Byte(int value) { data[count++] = static_cast<uint8_t>(value); }
  void Word(int value) {
    Byte(value & 0xFF);
    Byte((value >> 8) & 0xFF);
  }
  void Text(const char* text, int n) {
    memcpy(data + count, text, static_cast<size_t>(n));
    count += n;
  }
};

bool Put(const void* bytes, int count) { return gifFile.Write(bytes, count) == count; }

bool Put(const Bytes& bytes) { return Put(bytes.data, bytes.count); }

bool PutToGifFile(void*, const uint8_t* bytes, int count) { return Put(bytes, count); }

// One save of the document; nothing survives it but the file and, once the
// file is in place, the document's new name.
class GifWriter {
 public:
  bool Write(const char* path);

 private:
  bool WriteFile();
  bool WriteScreen();
  void AddCreditComment();
  void RemoveCreditComment();
  bool WriteImage(const Frame& frame);
  int HighestPixel(const Frame& frame);
  bool LoadRows(const Frame& frame);
  const uint8_t* Row(const Frame& frame, int y);
  bool WritePixels(const Frame& frame, int minCodeSize);
  bool WriteComment(const Frame& entry);

  char tempPath_[512] = {};
  bool creditAdded_ = false;
  ByteBuffer row_;
  ByteBuffer block_;
  bool wholeBlock_ = false;
};

bool GifWriter::Write(const char* path) {
  // The name is kept for the next save: one that does not fit is refused
  // rather than cut short.
  if (strlen(path) >= sizeof doc.fileName) return false;
  CommitPendingChange();
  BuildGlobalPalette(256);
  const int handle = CreateTempFileBeside(path, tempPath_, sizeof tempPath_);
  if (handle < 0) return false;
  gifFile.AttachForWriting(handle);

  bool written = WriteFile();
  written = gifFile.Close() && written;
  row_.Release();
  block_.Release();
  if (!written || !MoveFileOver(tempPath_, path)) {
    RemoveFile(tempPath_);
    RemoveCreditComment();
    return false;
  }
  // Saving under the current name passes doc.fileName itself.
  memmove(doc.fileName, path, strlen(path) + 1);
  const char* backslash = strrchr(doc.fileName, '\\');
  doc.fileNameOffset = static_cast<uint16_t>(backslash ? backslash - doc.fileName + 1 : 0);
  return true;
}

bool GifWriter::WriteFile() {
  if (!WriteScreen()) return false;
  AddCreditComment();
  for (int i = 0; i < doc.frameCount; ++i) {
    BeginProgress(i + 1);
    const Frame& entry = *doc.frames[i];
    if (!(IsComment(entry) ? WriteComment(entry) : WriteImage(entry))) return false;
  }
  return Put(&kTrailer, 1);
}

// The header, the logical screen as large as the frames reach, the global
// colour table and the looping extension, which a document without one
// leaves out so that it still plays once.
bool GifWriter::WriteScreen() {
  int32_t width = 0;
  int32_t height = 0;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    if (IsComment(frame)) continue;
    if (frame.left + frame.width > width) width = frame.left + frame.width;
    if (frame.top + frame.height > height) height = frame.top + frame.height;
  }
  if (width > 0xFFFF) width = 0xFFFF;
  if (height > 0xFFFF) height = 0xFFFF;
  doc.screenWidth = screenDescriptor.width = static_cast<uint16_t>(width);
  doc.screenHeight = screenDescriptor.height = static_cast<uint16_t>(height);

  Bytes bytes;
  bytes.Text("GIF89a", 6);
  bytes.Word(width);
  bytes.Word(height);
  bytes.Byte(screenDescriptor.packed);
  bytes.Byte(screenDescriptor.backgroundIndex);
  bytes.Byte(screenDescriptor.aspect);
  if (doc.hasGlobalPalette) {
    int count = 2 << SizeCode(screenDescriptor.tableSize);
    for (int i = 0; i < count; ++i) {
      bytes.Byte(doc.globalPalette[i].red);
      bytes.Byte(doc.globalPalette[i].green);
      bytes.Byte(doc.globalPalette[i].blue);
    }
  }
  if (doc.loopCount != kNoLooping) {
    bytes.Byte(0x21);
    bytes.Byte(0xFF);
    bytes.Byte(0x0B);
    bytes.Text("NETSCAPE2.0", 11);
    // One data sub-block: 1, then the loop count (0: for ever).
    bytes.Byte(3);
    bytes.Byte(1);
    bytes.Word(doc.loopCount);
    bytes.Byte(0);
  }
  return Put(bytes);
}

// A first comment as long as the credit counts as the credit, whatever it
// says, so that saving again adds no second one.
void GifWriter::AddCreditComment() {
  const int length = static_cast<int>(strlen(creditComment));
  if (!settings.addCreditComment) return;
  if (doc.frameCount > 0 && IsComment(*doc.frames[0]) && doc.frames[0]->left == length) return;
  if (doc.swapEnd + static_cast<uint64_t>(length) > kSwapLimit) return;
  if (!InsertFrame(0)) return;
  Frame& entry = *doc.frames[0];
  entry.disposal = kCommentDisposal;
  entry.dataOffset = doc.swapEnd;
  entry.left = static_cast<int16_t>(length);
  doc.swapFile.WriteAt(doc.swapEnd, creditComment, length);
  doc.swapEnd += static_cast<uint32_t>(length);
  FillFramesList();
  creditAdded_ = true;
}

// A failed save leaves the frame list as it found it.
void GifWriter::RemoveCreditComment() {
  if (!creditAdded_) return;
  DeleteFrame(0);
  FillFramesList();
  creditAdded_ = false;
}

bool GifWriter::WriteImage(const Frame& frame) {
  const bool localTable = frame.colorCount != 0 && frame.useGlobalPalette == 0;
  const bool hasPixels = frame.width > 0 && frame.height > 0;
  if (hasPixels && !LoadRows(frame)) return false;
  // The highest index the frame uses, its transparent index included, sizes
  // both its own table (the colours past it are never shown) and the codes.
  int highest = hasPixels ? HighestPixel(frame) : 0;
  if (frame.transparent && (frame.transparentIndex & 0xFF) > highest) highest = frame.transparentIndex & 0xFF;
  const int sizeCode = localTable ? SizeCode(highest + 1) : SizeCode(frame.colorCount);
  Bytes bytes;
  bytes.Byte(0x21);
  bytes.Byte(0xF9);
  bytes.Byte(4);
  bytes.Byte((frame.transparent & 1) | ((frame.disposal & 7) << 2));
  bytes.Word(frame.delay);
  bytes.Byte(frame.transparentIndex & 0xFF);
  bytes.Byte(0);

  bytes.Byte(0x2C);
  bytes.Word(frame.left);
  bytes.Word(frame.top);
  bytes.Word(frame.width);
  bytes.Word(frame.height);
  bytes.Byte((localTable ? 0x80 : 0) | (frame.sortFlag ? 0x20 : 0) | (settings.interlacedSave ? 0x40 : 0) |
             sizeCode);
  if (localTable) {
    for (int i = 0; i < 2 << sizeCode; ++i) {
      bytes.Byte(frame.palette[i].red);
      bytes.Byte(frame.palette[i].green);
      bytes.Byte(frame.palette[i].blue);
    }
  }

  const int minCodeSize = MinCodeSize(highest);
  bytes.Byte(minCodeSize);
  return Put(bytes) && WritePixels(frame, minCodeSize);
}

// The offset of the row y (top to bottom) in the frame's bottom-up block.
uint32_t RowOffset(const Frame& frame, int y) {
  return static_cast<uint32_t>(frame.height - 1 - y) * static_cast<uint32_t>(RowStride(frame.width));
}

// A frame's rows come from one read of its whole block when that is small,
// else one read per row, so that memory does not grow with the picture.
bool GifWriter::LoadRows(const Frame& frame) {
  uint64_t size = static_cast<uint64_t>(RowStride(frame.width)) * static_cast<uint64_t>(frame.height);
  wholeBlock_ = size <= kWholeBlockLimit && ReadFrameBlock(frame, &block_);
  return wholeBlock_ || row_.Allocate(static_cast<size_t>(RowStride(frame.width)));
}

const uint8_t* GifWriter::Row(const Frame& frame, int y) {
  if (wholeBlock_) return block_.data() + RowOffset(frame, y);
  doc.swapFile.ReadAt(frame.dataOffset + RowOffset(frame, y), row_.data(), frame.width);
  return row_.data();
}

// The highest index in the rows, 128 or more as soon as a row shows one (a
// full table then). Sixteen running maxima let the compiler take sixteen
// pixels at a time.
int GifWriter::HighestPixel(const Frame& frame) {
  int highest = 0;
  for (int y = 0; y < frame.height && highest < 128; ++y) {
    const uint8_t* row = Row(frame, y);
    uint8_t lanes[16] = {};
    int x = 0;
    for (; x + 16 <= frame.width; x += 16)
      for (int k = 0; k < 16; ++k) lanes[k] = row[x + k] > lanes[k] ? row[x + k] : lanes[k];
    for (; x < frame.width; ++x)
      if (row[x] > highest) highest = row[x];
    for (int k = 0; k < 16; ++k)
      if (lanes[k] > highest) highest = lanes[k];
  }
  return highest;
}

// The rows in file order: top to bottom, or in the four interlace passes.
bool GifWriter::WritePixels(const Frame& frame, int minCodeSize) {
  static const int kStart[4] = {0, 4, 2, 1};
  static const int kStep[4] = {8, 8, 4, 2};
  const int passes = settings.interlacedSave ? 4 : 1;
  encoder.Begin(minCodeSize, PutToGifFile, nullptr);
  if (frame.width > 0) {
    for (int pass = 0; pass < passes; ++pass) {
      const int step = passes == 1 ? 1 : kStep[pass];
      for (int y = passes == 1 ? 0 : kStart[pass]; y < frame.height; y += step) {
        encoder.Encode(Row(frame, y), frame.width);
        StepProgress(ProgressKind::kSaving, frame.height);
        if (encoder.failed()) return false;
      }
    }
  }
  return encoder.Finish();
}

// The text in sub-blocks of at most 255 bytes, as read from the swap file.
// An empty comment is left out: a comment extension without a data sub-block
// makes giflib refuse the whole file (tests/data/comment-empty.gif).
bool GifWriter::WriteComment(const Frame& entry) {
  static const uint8_t kIntroducer[2] = {0x21, 0xFE};
  if (entry.left <= 0) return true;
  if (!Put(kIntroducer, 2)) return false;
  uint8_t block[256];
  for (int32_t done = 0; done < entry.left;) {
    int n = entry.left - done < 255 ? entry.left - done : 255;
    block[0] = static_cast<uint8_t>(n);
    doc.swapFile.ReadAt(entry.dataOffset + static_cast<uint32_t>(done), block + 1, n);
    if (!Put(block, n + 1)) return false;
    done += n;
  }
  static const uint8_t kTerminator = 0;
  return Put(&kTerminator, 1);
}

}  // namespace

bool WriteGif(const char* path) {
  GifWriter writer;
  return writer.Write(path);
}
