// Composition of the image view's picture over the retained one.
#include "render/frame_composer.h"

#include <cstring>
#include <utility>

#include "document/document.h"
#include "document/settings.h"
#include "render/display_map.h"

PictureBuffer retainedPicture;
PictureBuffer newPicture;
PictureBuffer framePicture;

namespace {

// Sets the place and layout of picture; the block is left alone. False, with
// nothing changed, when the rectangle is too large to compose. Computed in
// 32 bits so that the union of far-apart frames cannot wrap.
bool SetRectangle(PictureBuffer* picture, int32_t left, int32_t top, int32_t width, int32_t height,
                  int frame) {
  if (width < 0 || height < 0 || width > kMaxPictureSide || height > kMaxPictureSide) return false;
  int32_t rowPad = (4 - width % 4) % 4;
  uint64_t size = static_cast<uint64_t>(width + rowPad) * static_cast<uint64_t>(height);
  if (size > kMaxPictureSize) return false;
  picture->left = static_cast<int16_t>(left);
  picture->top = static_cast<int16_t>(top);
  picture->width = static_cast<int16_t>(width);
  picture->height = static_cast<int16_t>(height);
  picture->frame = static_cast<int16_t>(frame);
  picture->rowPad = static_cast<int16_t>(rowPad);
  picture->size = static_cast<uint32_t>(size);
  return true;
}

// The frame's own rectangle; a negative size counts as empty, as in
// ReadFrameBlock.
void SetFrameRectangle(PictureBuffer* picture, int index) {
  const Frame& frame = *doc.frames[index];
  SetRectangle(picture, frame.left, frame.top, frame.width > 0 ? frame.width : 0,
               frame.height > 0 ? frame.height : 0, index);
}

// A zeroed block of picture->size bytes, pad bytes included. False when the
// memory cannot be had.
bool AllocatePicture(PictureBuffer* picture) { return picture->block.Allocate(picture->size); }

void ReadPicture(PictureBuffer* picture, uint32_t offset) {
  doc.swapFile.ReadBlockAt(offset, picture->block.data(), picture->size);
}

// Draws count pixels of in over out, except those equal to skip. In blocks
// of a fixed length, without a branch and with rows that never overlap, so
// that the compiler turns each block into a few vector instructions.
void DrawRowOver(const uint8_t* __restrict in, uint8_t* __restrict out, int32_t count, uint8_t skip) {
  constexpr int32_t kBlock = 32;
  int32_t x = 0;
  for (; x + kBlock <= count; x += kBlock)
    for (int32_t i = 0; i < kBlock; ++i) out[x + i] = in[x + i] == skip ? out[x + i] : in[x + i];
  for (; x < count; ++x) out[x] = in[x] == skip ? out[x] : in[x];
}

// Copies source into destination at its place: source's bottom row goes to
// destination row (D.top + D.height) - (S.top + S.height) counted from the
// first stored row, at column S.left - D.left. Pixels go through map when
// one is given; pixels equal to skipIndex leave what lies below. Clipped to
// destination, although composition always places inside it.
void PlacePicture(const PictureBuffer& source, PictureBuffer* destination, const uint8_t* map,
                  int skipIndex) {
  int32_t firstRow = (int32_t{destination->top} + destination->height) - (int32_t{source.top} + source.height);
  int32_t column = int32_t{source.left} - destination->left;
  int32_t fromX = column < 0 ? -column : 0;
  int32_t toX = source.width;
  if (column + toX > destination->width) toX = destination->width - column;
  if (fromX >= toX) return;
  size_t sourceStride = static_cast<size_t>(source.width) + source.rowPad;
  size_t destinationStride = static_cast<size_t>(destination->width) + destination->rowPad;
  for (int32_t y = 0; y < source.height; ++y) {
    int32_t to = firstRow + y;
    if (to < 0 || to >= destination->height) continue;
    const uint8_t* in = source.block.data() + static_cast<size_t>(y) * sourceStride;
    uint8_t* out = destination->block.data() + static_cast<size_t>(to) * destinationStride + column;
    if (map != nullptr) {
      for (int32_t x = fromX; x < toX; ++x) out[x] = map[in[x]];
    } else if (skipIndex >= 0 && skipIndex <= 255) {
      DrawRowOver(in + fromX, out + fromX, toX - fromX, static_cast<uint8_t>(skipIndex));
    } else {
      memcpy(out + fromX, in + fromX, static_cast<size_t>(toX - fromX));
    }
  }
}

// Puts every pixel of picture through map, leaving the pad bytes alone.
void TranslatePicture(PictureBuffer* picture, const uint8_t* map) {
  size_t stride = static_cast<size_t>(picture->width) + picture->rowPad;
  for (int32_t y = 0; y < picture->height; ++y) {
    uint8_t* row = picture->block.data() + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < picture->width; ++x) row[x] = map[row[x]];
  }
}

// The composed picture: the union of the retained picture and the frame
// picture, the retained one translated to the current frame's palette, the
// frame drawn over it. A frame inside the retained picture is drawn on the
// retained block itself, which then passes to newPicture: copying the whole
// picture for a frame that covers part of it would cost more than the frame.
bool ComposeNewPicture(const Frame& frame) {
  int current = doc.currentFrame;
  SetFrameRectangle(&framePicture, current);
  if (!AllocatePicture(&framePicture)) return false;
  ReadPicture(&framePicture, frame.dataOffset);

  const PictureBuffer& below = retainedPicture;
  int32_t left = below.left < framePicture.left ? below.left : framePicture.left;
  int32_t top = below.top < framePicture.top ? below.top : framePicture.top;
  int32_t right = int32_t{below.left} + below.width;
  int32_t frameRight = int32_t{framePicture.left} + framePicture.width;
  if (frameRight > right) right = frameRight;
  int32_t bottom = int32_t{below.top} + below.height;
  int32_t frameBottom = int32_t{framePicture.top} + framePicture.height;
  if (frameBottom > bottom) bottom = frameBottom;
  // The union holds the retained picture: of the same size, it is the same.
  bool inPlace = right - left == below.width && bottom - top == below.height;
  if (!SetRectangle(&newPicture, left, top, right - left, bottom - top, current) ||
      (!inPlace && !AllocatePicture(&newPicture))) {
    framePicture.block.Release();
    return false;
  }

  BuildDisplayMap(below.frame, current);
  // Frames on one palette (the common case) need no translation.
  const uint8_t* map = doc.frames[below.frame]->displayMap;
  bool identity = true;
  for (int i = 0; i < 256 && identity; ++i) identity = map[i] == i;
  if (inPlace) {
    newPicture.block = std::move(retainedPicture.block);
    DiscardRetainedPicture();
    if (!identity) TranslatePicture(&newPicture, map);
  } else {
    PlacePicture(below, &newPicture, identity ? nullptr : map, -1);
  }
  int skipIndex = frame.transparent ? frame.transparentIndex : -1;
  PlacePicture(framePicture, &newPicture, nullptr, skipIndex);
  framePicture.block.Release();
  return true;
}

}  // namespace

bool ComposesOverRetained() {
  if (!retainedPicture.block || retainedPicture.frame < 0 || retainedPicture.frame >= doc.currentFrame)
    return false;
  int i = retainedPicture.frame + 1;
  while (i < doc.currentFrame && IsComment(*doc.frames[i])) ++i;
  return i == doc.currentFrame;
}

bool BuildNewPicture() {
  newPicture.block.Release();
  int current = doc.currentFrame;
  const Frame& frame = *doc.frames[current];
  bool composed = false;
  if (ComposesOverRetained()) {
    composed = ComposeNewPicture(frame);
  } else {
    // Alone, the frame shows as stored: a transparent pixel shows the
    // colour of its index.
    SetFrameRectangle(&newPicture, current);
    if (AllocatePicture(&newPicture)) {
      ReadPicture(&newPicture, frame.dataOffset);
      composed = true;
    }
  }
  if (!composed) {
    newPicture.block.Release();
    SetFrameRectangle(&newPicture, current);
  }
  return composed;
}

void RetainNewPicture() {
  retainedPicture.block.Release();
  retainedPicture.frame = -1;
  bool keep = newPicture.block && settings.showOnlyDirtyRectangles == 0 &&
              IsImageFrame(doc.currentFrame) && (doc.frames[doc.currentFrame]->disposal & 2) == 0;
  if (!keep) {
    newPicture.block.Release();
    return;
  }
  retainedPicture.block = std::move(newPicture.block);
  newPicture.block.Release();
  retainedPicture.left = newPicture.left;
  retainedPicture.top = newPicture.top;
  retainedPicture.width = newPicture.width;
  retainedPicture.height = newPicture.height;
  retainedPicture.frame = newPicture.frame;
  retainedPicture.size = newPicture.size;
  retainedPicture.rowPad = newPicture.rowPad;
}

void DiscardRetainedPicture() {
  retainedPicture.frame = -1;
  retainedPicture.block.Release();
}
