// frambo-cli palette-save FILE K OUT.pal and palette-load FILE K IN.pal
// -o OUT.gif [--no-credit]: "Save palette" and "Load palette" on entry K
// (counted from 0, as frames numbers its files), which must be an image frame.
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/save_options.h"
#include "document/document.h"
#include "formats/palette_file.h"

namespace {

// Loads path and checks that entry names one of its image frames.
int LoadImageEntry(const char* path, int entry, FILE* err) {
  if (!LoadInput(path, err)) return kExitFileError;
  if (entry >= doc.frameCount || IsComment(*doc.frames[entry])) {
    fprintf(err, "%s: entry %d is no image frame\n", path, entry);
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace

int RunPaletteSave(int argc, char** argv, FILE* /*out*/, FILE* err) {
  int entry = 0;
  if (argc != 3 || !ParseDecimal(argv[1], 0, kMaxEntries - 1, &entry)) return UsageError(err);
  int status = LoadImageEntry(argv[0], entry, err);
  if (status != kExitOk) return status;
  if (SavePaletteFile(argv[2], entry)) return kExitOk;
  fprintf(err, "%s: %s\n", kWriteErrorText, argv[2]);
  return kExitFileError;
}

int RunPaletteLoad(int argc, char** argv, FILE* /*out*/, FILE* err) {
  SaveOptions options;
  std::vector<const char*> operands;
  int entry = 0;
  if (!TakeSaveArguments(argc, argv, InterlaceOption::kRefused, &options, &operands) || operands.size() != 3 ||
      !ParseDecimal(operands[1], 0, kMaxEntries - 1, &entry))
    return UsageError(err);
  int status = LoadImageEntry(operands[0], entry, err);
  if (status != kExitOk) return status;
  if (!LoadPaletteFile(operands[2], entry)) {
    fprintf(err, "Error in reading file: %s\n", operands[2]);
    return kExitFileError;
  }
  return SaveDocument(options, err);
}
