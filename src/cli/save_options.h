// The options every saving command of frambo-cli takes (-o OUT.gif,
// --no-credit, --loop COUNT, --interlaced) and the save itself with the
// editor's writer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct SaveOptions {
  const char* output = nullptr;
  bool noCredit = false;
  bool interlaced = false;
  bool loopGiven = false;
  int32_t loopCount = 0;  // as the document keeps it
};

// Which save options a command accepts besides -o and --no-credit.
enum class InterlaceOption { kRefused, kAccepted };

// Takes the save option at argv[i], if it is one. Returns how many
// arguments it used (2 for "-o OUT" or "--loop COUNT", 1 for a flag), 0 when
// argv[i] is no save option, and -1 when it is malformed: -o without a name,
// --loop without a count of 0..65535, "forever" or "none", either given twice.
int TakeSaveOption(int argc, char** argv, int i, InterlaceOption interlace, SaveOptions* options);

// Splits a saving command's arguments into its save options and its
// operands (the rest, none starting with "-"). False on a usage error.
bool TakeSaveArguments(int argc, char** argv, InterlaceOption interlace, SaveOptions* options,
                       std::vector<const char*>* operands);

// Saves the document to options.output with the writer's settings set from
// the options for this save only; --loop sets the document's loop count. On failure "Error in writing file" and the
// name go to err and kExitFileError is returned; kExitOk otherwise.
int SaveDocument(const SaveOptions& options, FILE* err);
