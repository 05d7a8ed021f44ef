// giflib as the reference reader of the interoperability tests: a file slurped
// whole, and its images and comments as entries of colours (test_support.h).
// Native builds only: just the *_giflib_test.cpp files include this.
#pragma once

#include <gif_lib.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

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
  GiflibFile(const GiflibFile&) = delete;
  GiflibFile& operator=(const GiflibFile&) = delete;
};

// Turns extensions into entries as our reader does: a graphic control opens
// a pending entry (a second one replaces it) that waits for the image past
// any comment, a comment becomes an entry of its own, anything else is
// skipped but the looping extension's count. giflib keeps a comment's later
// sub-blocks as CONTINUE blocks behind it.
struct GiflibEntryWalker {
  std::vector<Entry> entries;
  bool hasPending = false;
  Entry pending;
  int loopCount = -1;  // kNoLooping

  void Extensions(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i < count; ++i) {
      const ExtensionBlock& block = blocks[i];
      const uint8_t* bytes = block.Bytes;
      if (block.Function == GRAPHICS_EXT_FUNC_CODE && block.ByteCount >= 4) {
        hasPending = true;
        pending = Entry();
        pending.disposal = (bytes[0] >> 2) & 7;
        pending.transparent = (bytes[0] & 1) != 0;
        pending.delay = bytes[1] | bytes[2] << 8;
        pending.transparentIndex = bytes[3];
      } else if (block.Function == COMMENT_EXT_FUNC_CODE) {
        Entry comment;
        comment.comment = true;
        for (comment.text.assign(reinterpret_cast<const char*>(bytes), block.ByteCount);
             i + 1 < count && blocks[i + 1].Function == CONTINUE_EXT_FUNC_CODE; ++i)
          comment.text.append(reinterpret_cast<const char*>(blocks[i + 1].Bytes), blocks[i + 1].ByteCount);
        entries.push_back(comment);
      } else if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 && i + 1 < count &&
                 (!memcmp(bytes, "NETSCAPE2.0", 11) || !memcmp(bytes, "ANIMEXTS1.0", 11)) &&
                 blocks[i + 1].ByteCount >= 3 && blocks[i + 1].Bytes[0] == 1) {
        loopCount = blocks[i + 1].Bytes[1] | blocks[i + 1].Bytes[2] << 8;  // the last one counts
      }
    }
  }

  // A pixel without a table entry gets kAnyColour and a line in faults.
  void Image(const SavedImage& image, const ColorMapObject* globalMap, std::vector<std::string>* faults) {
    Entry entry = hasPending ? pending : Entry();
    hasPending = false;
    const GifImageDesc& desc = image.ImageDesc;
    entry.left = desc.Left, entry.top = desc.Top, entry.width = desc.Width, entry.height = desc.Height;
    entry.interlaced = desc.Interlace;
    entry.useGlobalPalette = desc.ColorMap == nullptr;
    // DGifSlurp hands the raster back top-down and already de-interlaced.
    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : globalMap;
    const size_t count = static_cast<size_t>(desc.Width) * desc.Height;
    entry.indices.assign(image.RasterBits, image.RasterBits + count);
    bool reported = false;
    for (uint8_t index : entry.indices) {
      bool known = map != nullptr && index < map->ColorCount;
      if (!known && !reported) {
        faults->push_back("entry " + std::to_string(entries.size()) + ": index " + std::to_string(index) +
                          (map ? " beyond the " + std::to_string(map->ColorCount) + "-colour table" : " and no table"));
        reported = true;
      }
      const GifColorType* c = known ? &map->Colors[index] : nullptr;
      entry.colours.push_back(entry.transparent && index == entry.transparentIndex ? kTransparentPixel
                              : !known ? kAnyColour
                                       : static_cast<uint32_t>(c->Red) << 16 | c->Green << 8 | c->Blue);
    }
    entries.push_back(std::move(entry));
  }
};

// giflib's images and comments in file order; faults gets every image whose
// pixels have no colour to show, and loopCount the file's loop count.
inline std::vector<Entry> GiflibEntries(const GifFileType& gif, std::vector<std::string>* faults,
                                        int* loopCount = nullptr) {
  GiflibEntryWalker walker;
  for (int i = 0; i < gif.ImageCount; ++i) {
    const SavedImage& image = gif.SavedImages[i];
    walker.Extensions(image.ExtensionBlocks, image.ExtensionBlockCount);
    walker.Image(image, gif.SColorMap, faults);
  }
  // Comments after the last image; a trailing graphic control leaves nothing.
  walker.Extensions(gif.ExtensionBlocks, gif.ExtensionBlockCount);
  if (loopCount != nullptr) *loopCount = walker.loopCount;
  return walker.entries;
}

