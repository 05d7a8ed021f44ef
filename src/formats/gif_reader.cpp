// The GIF reader: GIF87a and GIF89a files into the frame list. Images and
// comments become entries in file order; pixels are LZW-decoded,
// de-interlaced and appended bottom-up to the swap file, one block per image.
//
// The reader's pending entry, one state machine over the block loop:
//   needsNewEntry true  -- no entry open; a graphic control extension, a
//                          comment or an image inserts one at insertionIndex.
//   needsNewEntry false -- the entry at insertionIndex is pending: opened by a
//                          graphic control extension (a second one overwrites
//                          it), or by an image whose data stream was empty.
//                          An image completes it. A comment behind a control
//                          block gets an entry of its own in front of the
//                          pending one, which stays pending for the image; a
//                          comment behind an empty image takes that over.
//   Completing an image or a comment advances insertionIndex and sets
//   needsNewEntry again, unless an entry is still pending behind the comment.
//   An error deletes the pending entry; at the end,
//   every image entry still 0 wide (a control block whose image never came)
//   is deleted.
//
// The looping extension's count is the document's when the file is read into
// an empty document. Inserting a file into a document that has entries keeps
// the document's count: the file that made the document, or New, decided it.
// A file with several looping extensions has the last one's count, as
// browsers play it (tests/data/artificial-multiple-loop-counts.gif).
//
// Where the file ends early -- inside an extension's or a comment's
// sub-blocks or inside an image's data -- reading stops there as at the
// trailer, keeping what was read (tests/data/malformed-missing-trailer.gif,
// tests/data/hippopotamus-interlaced-truncated.gif).
#include "formats/gif_reader.h"

#include <cstring>

#include "document/buffered_file.h"
#include "document/document.h"
#include "document/gif_screen.h"
#include "document/ui_operations.h"
#include "formats/lzw_decoder.h"
#include "formats/lzw_limits.h"

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;

// A comment's length lives in a signed 16-bit field: longer comments keep
// their first kMaxCommentLength bytes (tests/data/comment-40000.gif).
constexpr int32_t kMaxCommentLength = 32767;
constexpr int32_t kMaxDimension = 32767;

// A decode buffer up to this size is kept for the next image.
constexpr size_t kKeptDecodeBuffer = size_t{16} << 20;

// One reading of one file; nothing survives it but what goes into the document.
class GifReader {
 public:
  bool Read(const char* path, int insertionIndex);

 private:
  enum class Step { kGoOn, kEnd, kError };

  Step ReadBlock();
  Step ReadExtension();
  Step ReadGraphicControl();
  Step ReadComment();
  Step ReadApplication();
  Step SkipSubBlocks();
  Step ReadImage();
  Step DecodeImage(Frame& frame, bool interlaced, int minCodeSize, bool* hadData);
  bool GatherData(size_t* size, bool* fileEnded);
  size_t PlaceRows(const Frame& frame, bool interlaced, size_t produced);
  bool OpenEntry();
  bool Fail();
  void Finish();
  int ReadByte();
  // Reads one sub-block into block_: its length, or -1 when the file ended
  // before its length byte or inside its bytes.
  int ReadSubBlock();

  uint8_t block_[256] = {};
  PaletteEntry globalPalette_[256] = {};  // the global table filled out as a frame palette
  int globalSizeField_ = 2;    // table size given by the screen descriptor
  uint8_t backgroundIndex_ = 0;
  int32_t loopCount_ = kNoLooping;
  int insertionIndex_ = 0;
  bool needsNewEntry_ = true;
  bool documentWasEmpty_ = false;
  ByteBuffer pixels_;
  ByteBuffer data_;     // the image's data sub-blocks, joined
  ByteBuffer decoded_;  // its pixels in file order
  uint8_t used_[256] = {};
};

// A frame palette from a colour table: entries 0..count-1 from the table,
// the rest from the default palette.
void FillPalette(PaletteEntry* palette, const RgbTriple* table, int count) {
  if (count > 256) count = 256;
  for (int i = 0; i < count; ++i) palette[i] = PaletteEntry{table[i].blue, table[i].green, table[i].red, 0};
  memcpy(palette + count, defaultPalette + count, sizeof(PaletteEntry) * (256 - count));
}

int ReadTable(RgbTriple* table, int count) {
  uint8_t bytes[768];
  int got = gifFile.Read(bytes, 3 * count);
  if (got < 3 * count) return -1;
  for (int i = 0; i < count; ++i) table[i] = RgbTriple{bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
  return count;
}

inline uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

int GifReader::ReadByte() {
  uint8_t byte = 0;
  return gifFile.Read(&byte, 1) == 1 ? byte : -1;
}

int GifReader::ReadSubBlock() {
  int size = ReadByte();
  if (size < 0) return -1;
  if (size == 0) return 0;
  return gifFile.Read(block_, size) == size ? size : -1;
}

bool GifReader::Read(const char* path, int insertionIndex) {
  documentWasEmpty_ = doc.frameCount == 0;
  insertionIndex_ = insertionIndex;
  needsNewEntry_ = true;
  if (gifFile.OpenRead(path) < 0) return Fail();

  uint8_t header[13];
  if (gifFile.Read(header, 6) < 6 || memcmp(header, "GIF", 3) != 0) return Fail();
  if (gifFile.Read(header + 6, 7) < 7) return Fail();
  uint8_t packed = header[10];
  backgroundIndex_ = header[11];
  screenDescriptor.packed = packed;
  screenDescriptor.backgroundIndex = header[11];
  screenDescriptor.aspect = header[12];
  globalSizeField_ = 2 << (packed & 7);
  // A file without any colour table gets the default palette.
  RgbTriple globalTable[256];
  int globalCount = 0;
  if (packed & 0x80) {
    if (ReadTable(globalTable, globalSizeField_) < 0) return Fail();
    globalCount = globalSizeField_;
  }
  FillPalette(globalPalette_, globalTable, globalCount);
  uint16_t width = Word(header + 6);
  uint16_t height = Word(header + 8);
  if (width > doc.screenWidth) doc.screenWidth = width;
  if (height > doc.screenHeight) doc.screenHeight = height;

  for (;;) {
    Step step = ReadBlock();
    if (step == Step::kError) return Fail();
    if (step == Step::kEnd) break;
  }
  Finish();
  return true;
}

GifReader::Step GifReader::ReadBlock() {
  int introducer = ReadByte();
  switch (introducer) {
    case -1:
    case kTrailer:
      return Step::kEnd;
    case kExtensionIntroducer:
      return ReadExtension();
    case kImageSeparator:
      return ReadImage();
    default:
      // Any other byte starts no block: this passes over stray bytes
      // between blocks.
      return Step::kGoOn;
  }
}

bool GifReader::OpenEntry() {
  if (!needsNewEntry_) return true;
  if (insertionIndex_ > kMaxEntries - 1 || !InsertFrame(insertionIndex_)) return false;
  needsNewEntry_ = false;
  return true;
}

GifReader::Step GifReader::ReadExtension() {
  int label = ReadByte();
  if (label < 0) return Step::kError;
  switch (label) {
    case kGraphicControlLabel:
      return ReadGraphicControl();
    case kCommentLabel:
      return ReadComment();
    case kApplicationLabel:
      return ReadApplication();
    default:
      return SkipSubBlocks();
  }
}

// The looping extension: sub-block 1 holds the loop count.
GifReader::Step GifReader::ReadApplication() {
  int size = ReadSubBlock();
  if (size < 0) return Step::kEnd;
  if (size != 11) return Step::kError;
  if (memcmp(block_, "NETSCAPE2.0", 11) != 0 && memcmp(block_, "ANIMEXTS1.0", 11) != 0) return SkipSubBlocks();
  for (;;) {
    size = ReadSubBlock();
    if (size < 0) return Step::kEnd;
    if (size == 0) return Step::kGoOn;
    if (size >= 3 && block_[0] == 1) loopCount_ = Word(block_ + 1);
  }
}

GifReader::Step GifReader::SkipSubBlocks() {
  for (;;) {
    int size = ReadSubBlock();
    if (size < 0) return Step::kEnd;
    if (size == 0) return Step::kGoOn;
  }
}

GifReader::Step GifReader::ReadGraphicControl() {
  if (!OpenEntry()) return Step::kError;
  int size = ReadSubBlock();
  if (size < 0) return Step::kEnd;
  if (size != 4) return Step::kError;
  Frame& frame = *doc.frames[insertionIndex_];
  frame.disposal = static_cast<uint8_t>((block_[0] >> 2) & 7);
  frame.transparent = block_[0] & 1;
  frame.delay = Word(block_ + 1);
  frame.transparentIndex = block_[3];
  int terminator = ReadSubBlock();
  if (terminator < 0) return Step::kEnd;
  return terminator == 0 ? Step::kGoOn : Step::kError;
}

// A comment is an entry in file order. One between a control block and its
// image goes in front of the entry the block opened, so that the image keeps
// the block's delay, disposal and transparency, as other readers show it.
GifReader::Step GifReader::ReadComment() {
  const bool behindControl = !needsNewEntry_ && doc.frames[insertionIndex_]->width == 0;
  if (behindControl ? !InsertFrame(insertionIndex_) : !OpenEntry()) return Step::kError;
  Frame& entry = *doc.frames[insertionIndex_];
  entry = Frame();
  entry.disposal = kCommentDisposal;
  entry.dataOffset = doc.swapEnd;
  Step step = Step::kGoOn;
  for (;;) {
    int size = ReadSubBlock();
    if (size < 0) {
      step = Step::kEnd;
      break;
    }
    if (size == 0) break;
    int32_t keep = kMaxCommentLength - entry.left;
    if (keep > size) keep = size;
    if (keep <= 0) continue;
    if (doc.swapEnd + static_cast<uint64_t>(keep) > kSwapLimit) {
      // The pending entry behind it goes when the error is handled.
      if (behindControl) DeleteFrame(insertionIndex_);
      return Step::kError;
    }
    doc.swapFile.WriteAt(doc.swapEnd, block_, keep);
    doc.swapEnd += static_cast<uint32_t>(keep);
    entry.left = static_cast<int16_t>(entry.left + keep);
  }
  ++insertionIndex_;
  needsNewEntry_ = !behindControl;
  return step;
}

GifReader::Step GifReader::ReadImage() {
  if (insertionIndex_ > kMaxEntries - 1) return Step::kError;
  if (!OpenEntry()) return Step::kError;
  uint8_t descriptor[9];
  if (gifFile.Read(descriptor, 9) < 9) return Step::kError;
  uint16_t left = Word(descriptor);
  uint16_t top = Word(descriptor + 2);
  uint16_t width = Word(descriptor + 4);
  uint16_t height = Word(descriptor + 6);
  uint8_t packed = descriptor[8];
  // The frame record keeps signed 16-bit positions and sizes, and the swap
  // file 32-bit offsets: what does not fit is refused before anything changes.
  if (left > kMaxDimension || top > kMaxDimension || width > kMaxDimension || height > kMaxDimension)
    return Step::kError;
  int32_t rowStride = RowStride(width);
  uint64_t blockSize = static_cast<uint64_t>(rowStride) * height;
  if (doc.swapEnd + blockSize > kSwapLimit) return Step::kError;

  Frame& frame = *doc.frames[insertionIndex_];
  frame.dataOffset = doc.swapEnd;
  if (width > doc.screenWidth) doc.screenWidth = width;
  if (height > doc.screenHeight) doc.screenHeight = height;
  doc.swapEnd += static_cast<uint32_t>(blockSize);
  frame.left = static_cast<int16_t>(left);
  frame.top = static_cast<int16_t>(top);
  frame.width = static_cast<int16_t>(width);
  frame.height = static_cast<int16_t>(height);
  frame.sortFlag = packed & 32;
  frame.interlaced = packed & 64;

  bool localTable = (packed & 0x80) != 0;
  if (localTable) {
    RgbTriple table[256];
    int size = 2 << (packed & 7);
    if (ReadTable(table, size) < 0) return Step::kError;
    frame.colorCount = static_cast<int16_t>(size);
    FillPalette(doc.workPalette, table, size);
  } else {
    frame.colorCount = static_cast<int16_t>(globalSizeField_);
    memcpy(doc.workPalette, globalPalette_, sizeof doc.workPalette);
  }
  int minCodeSize = ReadByte();
  if (minCodeSize < 1 || minCodeSize > kLzwMaxWidth) return Step::kError;
  if (documentWasEmpty_ && !localTable) frame.useGlobalPalette = 1;

  bool hadData = false;
  Step step = DecodeImage(frame, frame.interlaced != 0, minCodeSize, &hadData);
  if (step == Step::kError) return step;

  // Keep only as many local colours as the pixels need, in powers of two.
  int highest = 255;
  while (highest >= 0 && !frame.usedColors[highest]) --highest;
  if (localTable && highest + 1 < frame.colorCount) {
    int count = 2;
    while (count <= highest && count < 256) count *= 2;
    if (count < frame.colorCount) frame.colorCount = static_cast<int16_t>(count);
  }
  memcpy(doc.workPalette + frame.colorCount, defaultPalette + frame.colorCount,
         sizeof(PaletteEntry) * (256 - frame.colorCount));
  memcpy(frame.palette, doc.workPalette, sizeof frame.palette);
  CreateFramePalette(insertionIndex_);

  // An image whose data stream is empty stays pending: a later control
  // block, comment or image takes its entry over.
  if (hadData) {
    ++insertionIndex_;
    needsNewEntry_ = true;
  }
  return step;
}

// Joins the image's data sub-blocks, up to and including the terminator,
// into data_; size is what they hold. fileEnded when the file ended inside
// them: what arrived is kept. False when there is no memory for them.
bool GifReader::GatherData(size_t* size, bool* fileEnded) {
  *size = 0;
  *fileEnded = false;
  for (;;) {
    uint8_t length = 0;
    if (gifFile.Read(&length, 1) < 1) {
      *fileEnded = true;
      break;
    }
    if (length == 0) break;
    if (data_.size() < *size + 255 + kLzwSlack) {
      size_t grown = data_.size() * 2 > 4096 ? data_.size() * 2 : 4096;
      if (!data_.Reserve(grown)) return false;
    }
    int got = gifFile.Read(data_.data() + *size, length);
    if (got > 0) *size += static_cast<size_t>(got);
    if (got < length) {
      *fileEnded = true;
      break;
    }
  }
  if (data_.size() < *size + kLzwSlack && !data_.Reserve(*size + kLzwSlack)) return false;
  memset(data_.data() + *size, 0, kLzwSlack);
  return true;
}

// Decodes the image's data and appends the frame's pixel block to the swap
// file. Rows the data does not reach stay index 0.
GifReader::Step GifReader::DecodeImage(Frame& frame, bool interlaced, int minCodeSize, bool* hadData) {
  size_t dataSize = 0;
  bool fileEnded = false;
  if (!GatherData(&dataSize, &fileEnded)) return Step::kError;
  *hadData = dataSize > 0;
  const int32_t rowStride = RowStride(frame.width);
  const size_t pixelCount = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height);
  if (!decoded_.Reserve(kLzwLead + pixelCount + kLzwSlack)) return Step::kError;
  pixels_ = BeginFramePixels(insertionIndex_, rowStride);
  // A frame whose pixels cannot be kept is not shown as if it had none.
  if (!pixels_) return Step::kError;
  memset(used_, 0, sizeof used_);
  if (frame.transparent) used_[frame.transparentIndex & 0xFF] = 1;
  BeginProgress(insertionIndex_ + 1);

  LzwOutput out;
  out.buffer = decoded_.data();
  out.size = pixelCount;
  out.used = used_;
  Step step = fileEnded ? Step::kEnd : Step::kGoOn;
  if (dataSize > 0 && DecodeLzw(minCodeSize, data_.data(), dataSize, out) == LzwEnd::kBadCode) step = Step::kEnd;
  if (out.produced < pixelCount) used_[0] = 1;
  const size_t firstTouched = PlaceRows(frame, interlaced, out.produced);

  // Rows the data did not reach must read as index 0. Where the swap file
  // has never been written they do so without costing a write, so only the
  // rows the data reached and any part over older data are written (a few
  // bytes of file may claim a picture of a gigabyte).
  uint32_t blockSize = static_cast<uint32_t>(rowStride) * static_cast<uint32_t>(frame.height);
  bool overOldData = doc.swapFile.size() > frame.dataOffset;
  uint32_t start = overOldData ? 0 : static_cast<uint32_t>(firstTouched);
  if (start < blockSize)
    doc.swapFile.WriteBlockAt(frame.dataOffset + start, pixels_.data() + start, blockSize - start);
  pixels_.Release();
  if (decoded_.size() > kKeptDecodeBuffer) decoded_.Release();
  memcpy(frame.usedColors, used_, sizeof used_);
  return step;
}

// Copies the first produced decoded pixels, rows in file order, into the
// block bottom-up, de-interlacing, and steps the progress once per finished
// row. Interlaced images come in four passes: every 8th row from 0, every
// 8th from 4, every 4th from 2, every 2nd from 1. Returns the offset in the
// block of the lowest row that received pixels, or the block's size.
size_t GifReader::PlaceRows(const Frame& frame, bool interlaced, size_t produced) {
  static const int kStep[4] = {8, 8, 4, 2};
  static const int kStart[4] = {0, 4, 2, 1};
  const int width = frame.width;
  const int height = frame.height;
  const size_t stride = static_cast<size_t>(RowStride(width));
  int lowest = height;
  if (width <= 0 || height <= 0) return static_cast<size_t>(lowest) * stride;
  const uint8_t* in = decoded_.data() + kLzwLead;
  int pass = 0;
  int y = 0;
  for (size_t done = 0; done < produced; done += static_cast<size_t>(width)) {
    const size_t count = produced - done < static_cast<size_t>(width) ? produced - done : static_cast<size_t>(width);
    const int row = height - 1 - y;
    memcpy(pixels_.data() + static_cast<size_t>(row) * stride, in + done, count);
    if (row < lowest) lowest = row;
    if (count < static_cast<size_t>(width)) break;
    StepProgress(ProgressKind::kReading, height);
    y += interlaced ? kStep[pass] : 1;
    while (interlaced && y >= height && pass < 3) y = kStart[++pass];
  }
  return static_cast<size_t>(lowest) * stride;
}

bool GifReader::Fail() {
  pixels_.Release();
  if (!needsNewEntry_) DeleteFrame(insertionIndex_);
  gifFile.Close();
  ShowReadError();
  return false;
}

void GifReader::Finish() {
  for (int i = doc.frameCount - 1; i >= 0; --i) {
    const Frame& frame = *doc.frames[i];
    if (!IsComment(frame) && frame.width == 0) DeleteFrame(i);
  }
  gifFile.Close();
  if (documentWasEmpty_) {
    doc.backgroundIndex = backgroundIndex_;
    doc.loopCount = loopCount_;
  }
}

}  // namespace

bool ReadGif(const char* path, int insertionIndex) {
  GifReader reader;
  return reader.Read(path, insertionIndex);
}
