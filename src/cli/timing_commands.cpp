// frambo-cli delay, speed and dedupe: every image frame's delay set, the
// animation played faster or slower, and duplicate frames merged, each on
// one file that is then saved.
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/save_options.h"
#include "editing/duplicate_frames.h"
#include "editing/frame_timing.h"

namespace {

// [VALUE] FILE -o OUT.gif and the save options: the operands, or false.
bool TakeOperands(int argc, char** argv, size_t count, SaveOptions* options, std::vector<const char*>* operands) {
  return TakeSaveArguments(argc, argv, InterlaceOption::kAccepted, options, operands) && operands->size() == count;
}

}  // namespace

int RunDelay(int argc, char** argv, FILE* /*out*/, FILE* err) {
  SaveOptions options;
  std::vector<const char*> operands;
  int delay = 0;
  if (!TakeOperands(argc, argv, 2, &options, &operands) || !ParseDecimal(operands[0], 0, 65535, &delay))
    return UsageError(err);
  if (!LoadInput(operands[1], err)) return kExitFileError;
  SetAllDelays(static_cast<uint16_t>(delay));
  return SaveDocument(options, err);
}

int RunSpeed(int argc, char** argv, FILE* /*out*/, FILE* err) {
  SaveOptions options;
  std::vector<const char*> operands;
  double factor = 1;
  if (!TakeOperands(argc, argv, 2, &options, &operands) || !ParseSpeedFactor(operands[0], &factor))
    return UsageError(err);
  if (!LoadInput(operands[1], err)) return kExitFileError;
  ChangeSpeed(factor);
  return SaveDocument(options, err);
}

int RunDedupe(int argc, char** argv, FILE* out, FILE* err) {
  SaveOptions options;
  std::vector<const char*> operands;
  if (!TakeOperands(argc, argv, 1, &options, &operands)) return UsageError(err);
  if (!LoadInput(operands[0], err)) return kExitFileError;
  const int removed = RemoveDuplicateFrames();
  if (removed < 0) {
    fprintf(err, "Not enough memory for the screens of %s\n", operands[0]);
    return kExitFileError;
  }
  const int status = SaveDocument(options, err);
  if (status == kExitOk) fprintf(out, "%d duplicate frame%s removed\n", removed, removed == 1 ? "" : "s");
  return status;
}
