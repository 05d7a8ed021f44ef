// frambo-cli colors N FILE -o OUT.gif [--no-credit]: "Calculate optimal
// palette" with N colours -- every image frame moved onto one global palette
// of at most N colours -- then saved.
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/save_options.h"
#include "colour/global_palette.h"
#include "document/document.h"

namespace {

constexpr long kFewestColors = 2;
constexpr long kMostColors = 256;

}  // namespace

int RunColors(int argc, char** argv, FILE* /*out*/, FILE* err) {
  SaveOptions options;
  const char* operands[2] = {};
  int operandCount = 0;
  for (int i = 0; i < argc;) {
    int used = TakeSaveOption(argc, argv, i, InterlaceOption::kRefused, &options);
    if (used < 0) return UsageError(err);
    if (used > 0) {
      i += used;
      continue;
    }
    if (argv[i][0] == '-' || argv[i][0] == '\0' || operandCount == 2) return UsageError(err);
    operands[operandCount++] = argv[i++];
  }
  int colorCount = 0;
  if (operandCount != 2 || options.output == nullptr || !ParseDecimal(operands[0], kFewestColors, kMostColors, &colorCount))
    return UsageError(err);

  if (!LoadInput(operands[1], err)) return kExitFileError;
  for (int i = 0; i < doc.frameCount; ++i) {
    Frame& frame = *doc.frames[i];
    if (!IsComment(frame)) frame.useGlobalPalette = 1;
  }
  BuildGlobalPalette(colorCount);
  return SaveDocument(options, err);
}
