// The animation document: the frame list and its operations, the default
// palette and the swap file's life.
#include "document/document.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "document/ui_operations.h"
#include "platform/temp_file.h"

Document doc;

namespace {

constexpr PaletteEntry DefaultEntry(int i) {
  return PaletteEntry{static_cast<uint8_t>((i & 3) * 85), static_cast<uint8_t>(((i >> 2) & 7) * 36),
                      static_cast<uint8_t>(((i >> 5) & 7) * 36), 0};
}

}  // namespace

const PaletteEntry defaultPalette[256] = {
#define E(i) DefaultEntry(i)
#define E4(i) E(i), E(i + 1), E(i + 2), E(i + 3)
#define E16(i) E4(i), E4(i + 4), E4(i + 8), E4(i + 12)
#define E64(i) E16(i), E16(i + 16), E16(i + 32), E16(i + 48)
    E64(0), E64(64), E64(128), E64(192)
#undef E64
#undef E16
#undef E4
#undef E
};

int CountImageFrames() {
  int count = 0;
  for (int i = 0; i < doc.frameCount; ++i) count += IsComment(*doc.frames[i]) ? 0 : 1;
  return count;
}

int PreviousImageFrame(int index) {
  for (int i = index - 1; i >= 0; --i) {
    if (i < doc.frameCount && !IsComment(*doc.frames[i])) return i;
  }
  return -1;
}

int NextImageFrame(int index) {
  for (int i = index + 1; i < doc.frameCount; ++i) {
    if (i >= 0 && !IsComment(*doc.frames[i])) return i;
  }
  return -1;
}

bool InsertFrame(int index) {
  CancelSelection();
  if (doc.frameCount > kMaxEntries - 1 || index < 0 || index > doc.frameCount) return false;
  std::unique_ptr<Frame> frame(new (std::nothrow) Frame());
  if (!frame) return false;
  for (int i = doc.frameCount - 1; i >= index; --i) {
    doc.frames[i + 1] = std::move(doc.frames[i]);
    doc.framePalettes[i + 1] = doc.framePalettes[i];
  }
  doc.framePalettes[index] = nullptr;
  ++doc.frameCount;
  doc.frames[index] = std::move(frame);
  if (doc.frameCount >= 2) SetAnimationEnabled(true);
  return true;
}

bool DeleteFrame(int index) {
  if (doc.frameCount < 1 || index < 0 || index >= doc.frameCount) return false;
  CancelSelection();
  DeleteFramePaletteIfAny(index);
  doc.frames[index].reset();
  for (int i = index; i < doc.frameCount - 1; ++i) {
    doc.frames[i] = std::move(doc.frames[i + 1]);
    doc.framePalettes[i] = doc.framePalettes[i + 1];
  }
  doc.frames[doc.frameCount - 1].reset();
  doc.framePalettes[doc.frameCount - 1] = nullptr;
  --doc.frameCount;
  if (doc.frameCount < 2) SetAnimationEnabled(false);
  UpdateCutCopyEnabled();
  return true;
}

uint64_t pixelBlockLimit = UINT64_MAX;

ByteBuffer BeginFramePixels(int index, int32_t rowStride) {
  Frame& frame = *doc.frames[index];
  memcpy(frame.palette, doc.workPalette, sizeof frame.palette);
  ByteBuffer block;
  const uint64_t size = static_cast<uint64_t>(rowStride) * static_cast<uint64_t>(frame.height > 0 ? frame.height : 0);
  if (size <= pixelBlockLimit && size <= SIZE_MAX) block.Allocate(size ? static_cast<size_t>(size) : 1);
  return block;
}

bool ReadFrameBlock(const Frame& frame, ByteBuffer* block) {
  int32_t width = frame.width > 0 ? frame.width : 0;
  int32_t height = frame.height > 0 ? frame.height : 0;
  uint32_t size = static_cast<uint32_t>(RowStride(width)) * static_cast<uint32_t>(height);
  if (!block->Allocate(size)) return false;
  doc.swapFile.ReadBlockAt(frame.dataOffset, block->data(), size);
  return true;
}

bool StoreFrameBlock(Frame& frame, const uint8_t* rows, uint32_t size) {
  if (doc.swapEnd + uint64_t{size} > kSwapLimit) return false;
  doc.swapFile.WriteBlockAt(doc.swapEnd, rows, size);
  frame.dataOffset = doc.swapEnd;
  doc.swapEnd += size;
  return true;
}

void CommitPendingChange() {
  if (doc.pendingChange != kNoPendingChange) {
    SetModified(true);
    if (doc.pendingChange == kPictureChanged) {
      ResetRetainedPicture();
      RefreshFrameView(RefreshMode::kQuiet);
    }
  }
  doc.pendingChange = kNoPendingChange;
}

void ClearDocument() {
  DeleteAllFramePalettes();
  // From the end, so that no entry is moved.
  while (DeleteFrame(doc.frameCount - 1)) {
  }
  strcpy(doc.fileName, "untitled");
  doc.fileNameOffset = 0;
  doc.currentFrame = 0;
  doc.screenWidth = 0;
  doc.screenHeight = 0;
  doc.hasGlobalPalette = 0;
  doc.loopCount = kLoopForever;
}

void RewindSwapFile() { doc.swapEnd = 0; }

bool OpenSwapFile() {
  if (doc.swapFile.IsOpen()) return true;
  if (!MakeTempFileName(doc.swapFile.path, sizeof doc.swapFile.path)) return false;
  if (doc.swapFile.Create()) return true;
  remove(doc.swapFile.path);  // the name was reserved by an empty file
  return false;
}

void CloseSwapFile() { doc.swapFile.CloseAndRemove(); }
