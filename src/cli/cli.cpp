// The command dispatch of frambo-cli: one table row per command.
#include "cli/cli.h"

#include <cstring>

#include "cli/cli_support.h"

namespace {

struct Command {
  const char* name;
  int (*run)(int argc, char** argv, FILE* out, FILE* err);
};

constexpr Command kCommands[] = {
    {"info", RunInfo},
    {"frames", RunFrames},
    {"render", RunRender},
    {"convert", RunConvert},
    {"optimize", RunOptimize},
    {"unoptimize", RunUnoptimize},
    {"colors", RunColors},
    {"gray", RunGray},
    {"reduce", RunReduce},
    {"delay", RunDelay},
    {"speed", RunSpeed},
    {"dedupe", RunDedupe},
    {"palette-save", RunPaletteSave},
    {"palette-load", RunPaletteLoad},
};

}  // namespace

int RunCli(int argc, char** argv, FILE* out, FILE* err) {
  if (argc < 2) return UsageError(err);
  for (const Command& command : kCommands) {
    if (strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2, out, err);
  }
  return UsageError(err);
}
