// frambo-cli optimize and unoptimize: "Crop frames to dirty rectangles" and
// "Restore frames to its full size" on one file, then saved.
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

}  // namespace

int RunOptimize(int argc, char** argv, FILE* /*out*/, FILE* err) {
  return RunOnOneFile(argc, argv, err, CropFramesToDirty);
}

int RunUnoptimize(int argc, char** argv, FILE* /*out*/, FILE* err) {
  return RunOnOneFile(argc, argv, err, RestoreFramesToFullSize);
}
