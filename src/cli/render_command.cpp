// frambo-cli render FILE OUTDIR: steps through the entries as "Next frame"
// does and writes, for each image entry, the picture the image view composed
// for it as render-NNN.bmp (NNN the 0-based entry index): a 24-bit bitmap of
// the logical screen with the picture at its place, black where it does not
// reach.
#include <string>

#include "cli/bmp_writer.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "document/document.h"
#include "document/ui_operations.h"
#include "render/frame_composer.h"

namespace {

struct ScreenSize {
  int32_t width;
  int32_t height;
};

// The logical screen; a screen without an area (a file may declare 0 x 0)
// becomes the extent from the origin to the farthest right and bottom edge
// of any image frame, the same for every bitmap of the file.
ScreenSize RenderScreen() {
  if (doc.screenWidth != 0 && doc.screenHeight != 0) return {doc.screenWidth, doc.screenHeight};
  ScreenSize extent = {0, 0};
  for (int i = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i)) continue;
    const Frame& frame = *doc.frames[i];
    int32_t right = int32_t{frame.left} + (frame.width > 0 ? frame.width : 0);
    int32_t bottom = int32_t{frame.top} + (frame.height > 0 ? frame.height : 0);
    if (right > extent.width) extent.width = right;
    if (bottom > extent.height) extent.height = bottom;
  }
  return extent;
}

// newPicture, as just built, on the screen in the current frame's colours;
// whatever lies outside the screen is clipped.
bool WriteScreen(const ScreenSize& screen, const char* path) {
  const PictureBuffer& picture = newPicture;
  const PaletteEntry* palette = doc.frames[picture.frame]->palette;
  const int32_t left = picture.left;
  const int32_t top = picture.top;
  const size_t stride = static_cast<size_t>(picture.width) + picture.rowPad;
  int32_t fromX = left > 0 ? left : 0;
  int32_t toX = left + picture.width;
  if (toX > screen.width) toX = screen.width;
  auto fillRow = [&](int32_t y, uint8_t* row) {
    int32_t screenY = screen.height - 1 - y;
    int32_t stored = top + picture.height - 1 - screenY;  // the picture's rows are bottom-up too
    if (stored < 0 || stored >= picture.height) return;
    const uint8_t* source = picture.block.data() + static_cast<size_t>(stored) * stride;
    for (int32_t x = fromX; x < toX; ++x) {
      const PaletteEntry& colour = palette[source[x - left]];
      row[x * 3 + 0] = colour.blue;
      row[x * 3 + 1] = colour.green;
      row[x * 3 + 2] = colour.red;
    }
  };
  return WriteBmp24(path, screen.width, screen.height, fillRow);
}

}  // namespace

int RunRender(int argc, char** argv, FILE* /*out*/, FILE* err) {
  const char* folder = nullptr;
  int status = LoadInputForFolder(argc, argv, err, &folder);
  if (status != kExitOk) return status;
  const ScreenSize screen = RenderScreen();
  // A document just opened shows nothing retained.
  ResetRetainedPicture();
  for (int i = 0; i < doc.frameCount; ++i) {
    doc.currentFrame = static_cast<int16_t>(i);
    if (!IsImageFrame(i)) continue;
    char name[32];
    snprintf(name, sizeof name, "/render-%03d.bmp", i);
    std::string path = std::string(folder) + name;
    // The image view's refresh, with the bitmap written between building
    // the picture and retaining it.
    bool built = BuildNewPicture();
    bool written = built && WriteScreen(screen, path.c_str());
    if (built) RetainNewPicture();
    if (!written) {
      fprintf(err, "%s: %s\n", kWriteErrorText, path.c_str());
      return kExitFileError;
    }
  }
  return kExitOk;
}
