// frambo-cli colors N FILE -o OUT.gif [--no-credit]: "Calculate optimal
// palette" with N colours -- every image frame moved onto one global palette
// of at most N colours -- then saved.
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/save_options.h"
#include "colour/colour_commands.h"

namespace {

constexpr long kFewestColors = 2;
constexpr long kMostColors = 256;

}  // namespace

int RunColors(int argc, char** argv, FILE* /*out*/, FILE* err) {
  SaveOptions options;
  std::vector<const char*> operands;
  int colorCount = 0;
  if (!TakeSaveArguments(argc, argv, InterlaceOption::kRefused, &options, &operands) || operands.size() != 2 ||
      !ParseDecimal(operands[0], kFewestColors, kMostColors, &colorCount))
    return UsageError(err);

  if (!LoadInput(operands[1], err)) return kExitFileError;
  CalculateOptimalPalette(colorCount);
  return SaveDocument(options, err);
}
