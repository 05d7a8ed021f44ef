// frambo-cli gray FILE -o OUT.gif [--frame K] [--no-credit] and
// reduce N FILE -o OUT.gif [--frame K] [--no-credit]: "Gray scale" and
// "Decrease number of colors" on entry K (counted from 0, an image frame)
// or on every image frame, then saved.
#include <cstring>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/save_options.h"
#include "colour/colour_commands.h"
#include "document/document.h"

namespace {

constexpr long kFewestColors = 2;
constexpr long kMostColors = 256;

struct FrameArguments {
  SaveOptions save;
  std::vector<const char*> operands;
  int frame = -1;  // -1: every image frame
};

// The save options, --frame K and the operands; false on a usage error.
bool TakeFrameArguments(int argc, char** argv, FrameArguments* args) {
  for (int i = 0; i < argc;) {
    int used = TakeSaveOption(argc, argv, i, InterlaceOption::kRefused, &args->save);
    if (used < 0) return false;
    if (used > 0) {
      i += used;
    } else if (strcmp(argv[i], "--frame") == 0) {
      if (i + 1 >= argc || args->frame >= 0 || !ParseDecimal(argv[i + 1], 0, kMaxEntries - 1, &args->frame))
        return false;
      i += 2;
    } else if (argv[i][0] == '-' || argv[i][0] == '\0') {
      return false;
    } else {
      args->operands.push_back(argv[i++]);
    }
  }
  return args->save.output != nullptr;
}

// The dialog offers only powers of two: 2 << depthExponent.
bool ParseColorCount(const char* text, int* count) {
  return ParseDecimal(text, kFewestColors, kMostColors, count) && (*count & (*count - 1)) == 0;
}

// Loads the input, runs change on entry args.frame or on every image frame,
// and saves. change returns false when a frame's pixels could not be had.
template <typename Change>
int ChangeFrames(const FrameArguments& args, const char* input, FILE* err, Change change) {
  if (!LoadInput(input, err)) return kExitFileError;
  if (args.frame >= 0 && !IsImageFrame(args.frame)) {
    fprintf(err, "%s: entry %d is no image frame\n", input, args.frame);
    return kExitUsage;
  }
  for (int i = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i) || (args.frame >= 0 && i != args.frame)) continue;
    if (!change(i)) {
      fprintf(err, "Not enough memory for entry %d of %s\n", i, input);
      return kExitFileError;
    }
  }
  return SaveDocument(args.save, err);
}

}  // namespace

int RunGray(int argc, char** argv, FILE* /*out*/, FILE* err) {
  FrameArguments args;
  if (!TakeFrameArguments(argc, argv, &args) || args.operands.size() != 1) return UsageError(err);
  return ChangeFrames(args, args.operands[0], err, [](int frame) { return GrayScaleFrame(frame); });
}

int RunReduce(int argc, char** argv, FILE* /*out*/, FILE* err) {
  FrameArguments args;
  int count = 0;
  if (!TakeFrameArguments(argc, argv, &args) || args.operands.size() != 2 ||
      !ParseColorCount(args.operands[0], &count))
    return UsageError(err);
  return ChangeFrames(args, args.operands[1], err, [count](int frame) {
    // A frame of count colours or fewer is not offered count: left alone.
    if (doc.frames[frame]->colorCount <= count) return true;
    return DecreaseFrameColors(frame, count);
  });
}
