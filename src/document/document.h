// The animation document: one process-wide record holding the frame list, the
// global palette, the logical screen and the swap file that keeps every pixel
// row and comment text. Every part of the program reads and changes it
// directly; nothing else holds document state.
#pragma once

#include <cstdint>
#include <memory>

#include "document/byte_buffer.h"
#include "document/swap_file.h"

constexpr int kMaxEntries = 10000;  // the 16-bit index fields would hold 32767
constexpr uint8_t kCommentDisposal = 64;  // disposal at or above this marks a comment entry
constexpr uint8_t kRestoreToBackground = 2;
// The swap file's offsets are 32 bits: nothing is stored past this end.
constexpr uint64_t kSwapLimit = 0xFFFFFFFFull;
// loopCount: how often the animation repeats, 0 for ever; kNoLooping when it
// has no looping extension and so plays once.
constexpr int32_t kLoopForever = 0;
constexpr int32_t kNoLooping = -1;
constexpr int32_t kMaxLoopCount = 65535;

// One palette entry in the order of a device-independent bitmap's colour table.
struct PaletteEntry {
  uint8_t blue;
  uint8_t green;
  uint8_t red;
  uint8_t reserved;
};

struct RgbTriple {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

// One entry of the frame list: an image frame, or a comment entry when
// disposal >= kCommentDisposal (a comment keeps its text length in left and
// its text at dataOffset; its other fields mean nothing).
struct Frame {
  int16_t left = 0;
  int16_t top = 0;
  int16_t width = 0;
  int16_t height = 0;
  int16_t colorCount = 0;
  uint8_t sortFlag = 0;     // 32 when the image descriptor had its sort flag set
  uint8_t interlaced = 0;   // 64 when the image came interlaced (information only)
  uint8_t disposal = 0;     // GIF disposal method 0..7, or kCommentDisposal
  uint8_t transparent = 0;
  uint16_t transparentIndex = 0;
  uint16_t delay = 0;       // hundredths of a second
  uint32_t dataOffset = 0;  // first stored row (or comment text) in the swap file
  uint8_t useGlobalPalette = 0;
  PaletteEntry palette[256] = {};
  uint8_t displayMap[256] = {};
  uint8_t usedColors[256] = {};
};

// The user interface's palette object for a frame (a GDI palette on palette
// displays); the core only moves these handles along with their frames.
using PaletteHandle = void*;

// pendingChange values left by the frame-properties panel.
constexpr uint8_t kNoPendingChange = 0;
constexpr uint8_t kFrameValueChanged = 1;
constexpr uint8_t kPictureChanged = 3;

struct Document {
  int16_t frameCount = 0;
  std::unique_ptr<Frame> frames[kMaxEntries];
  PaletteHandle framePalettes[kMaxEntries] = {};
  int16_t currentFrame = 0;
  uint16_t screenWidth = 0;
  uint16_t screenHeight = 0;
  uint8_t backgroundIndex = 0;
  RgbTriple globalPalette[256] = {};
  int16_t globalColorCount = 0;
  uint8_t hasGlobalPalette = 0;
  int32_t loopCount = kLoopForever;  // kLoopForever, 1..kMaxLoopCount, or kNoLooping
  PaletteEntry workPalette[256] = {};  // filled while a frame is read, then copied into it
  char fileName[256] = "untitled";
  uint16_t fileNameOffset = 0;  // where the name shown in the caption starts: after the last backslash
  uint8_t modified = 0;
  uint8_t pendingChange = kNoPendingChange;
  SwapFile swapFile;
  uint32_t swapEnd = 0;  // where the next frame's data is appended in swapFile
};

extern Document doc;

// The fixed palette behind every colour table: 3 bits red, 3 green, 2 blue.
extern const PaletteEntry defaultPalette[256];

inline bool IsComment(const Frame& frame) { return frame.disposal >= kCommentDisposal; }

// True when index names an entry of the list that is an image frame.
inline bool IsImageFrame(int index) {
  return index >= 0 && index < doc.frameCount && !IsComment(*doc.frames[index]);
}

// Bytes per stored pixel row: the width rounded up to a multiple of 4.
inline int32_t RowStride(int32_t width) { return (width + 3) & ~3; }

// The walks over image frames, passing comment entries by. Previous and
// next return -1 when there is none; PreviousImageFrame(frameCount) is the
// last image frame and NextImageFrame(-1) the first.
int CountImageFrames();
int PreviousImageFrame(int index);
int NextImageFrame(int index);

// Inserts an empty Frame at index (0..frameCount). False, with nothing
// changed, when the list already holds kMaxEntries entries.
bool InsertFrame(int index);

// Removes and frees the entry at index. Its data stays in the swap file.
bool DeleteFrame(int index);

// Prepares frame index for decoding: copies workPalette into its palette and
// returns a zeroed pixel block of rowStride x height bytes (1 byte when that
// is 0). The block is empty when the memory cannot be had, or when it would
// be larger than pixelBlockLimit (tests lower it); the reader then stops
// with its read error rather than keep a frame without its pixels.
extern uint64_t pixelBlockLimit;
ByteBuffer BeginFramePixels(int index, int32_t rowStride);

// Reads the stored rows of an image frame (RowStride(width) x height bytes,
// bottom-up) from the swap file into a new block. False when the memory
// cannot be had; the block is then empty.
bool ReadFrameBlock(const Frame& frame, ByteBuffer* block);

// Stores new rows for a frame as a block at the swap file's end and points
// the frame at it; the old block stays for the frame records the undo
// history keeps. False, with nothing changed, when the swap file is full.
bool StoreFrameBlock(Frame& frame, const uint8_t* rows, uint32_t size);

// Applies what the frame-properties panel left in pendingChange.
void CommitPendingChange();

// Empties the document as New does: every frame palette and entry goes,
// fileName becomes "untitled", currentFrame and the screen size 0, and the
// global palette is no longer written; the animation loops for ever. The
// swap file keeps its end.
void ClearDocument();

// Starts the swap file again from its start, as opening a file in place of
// the document and pasting into an empty one do. What the file held stays
// until it is overwritten: see SwapFile::size().
void RewindSwapFile();

// Creates the swap file in the temporary folder (a unique name under the
// program's three-letter prefix), unless it is open already. False when it
// cannot be created.
bool OpenSwapFile();

// Closes and removes the swap file.
void CloseSwapFile();
