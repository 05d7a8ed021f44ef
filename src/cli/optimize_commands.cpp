// frambo-cli optimize and unoptimize: "Crop frames to dirty rectangles" (with
// --transparency, "Optimize with transparency") and "Restore frames to its
// full size" on one file, then saved.
#include <cstring>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/save_options.h"
#include "editing/dirty_rectangles.h"

namespace {

// FILE -o OUT.gif [--interlaced] [--no-credit]: load, run, save.
int RunOnOneFile(int argc, char** argv, FILE* err, void (*command)()) {
  SaveOptions options;
  std::vector<const char*> operands;
  if (!TakeSaveArguments(argc, argv, InterlaceOption::kAccepted, &options, &operands) || operands.size() != 1)
    return UsageError(err);
  if (!LoadInput(operands[0], err)) return kExitFileError;
  command();
  return SaveDocument(options, err);
}

void CropOnly() { CropFramesToDirty(); }
void CropWithTransparency() { CropFramesToDirty(Transparency::kForUnchangedPixels); }

}  // namespace

// --transparency, once, anywhere among the arguments.
int RunOptimize(int argc, char** argv, FILE* /*out*/, FILE* err) {
  std::vector<char*> rest;
  bool transparency = false;
  for (int i = 0; i < argc; ++i) {
    if (strcmp(argv[i], "--transparency") == 0 && !transparency)
      transparency = true;
    else
      rest.push_back(argv[i]);
  }
  return RunOnOneFile(static_cast<int>(rest.size()), rest.data(), err, transparency ? CropWithTransparency : CropOnly);
}

int RunUnoptimize(int argc, char** argv, FILE* /*out*/, FILE* err) {
  return RunOnOneFile(argc, argv, err, RestoreFramesToFullSize);
}
