// frambo-cli convert FILE... -o OUT.gif [--interlaced] [--no-credit]: the
// files read one after the other into the end of one document, as the first
// is opened and each next one added with "Add frame(s) to end", then saved.
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/save_options.h"
#include "document/document.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"

namespace {

// Reads path behind the document's last entry. On failure the messages the
// user would have seen go to err.
bool AppendInput(const char* path, FILE* err) {
  ResetHeadlessUi();
  if (ReadFileByExtension(path, doc.frameCount)) return true;
  const auto& messages = headlessUi().messages;
  if (messages.empty()) fputs("Error in reading file\n", err);
  for (const std::string& message : messages) fprintf(err, "%s\n", message.c_str());
  return false;
}

}  // namespace

int RunConvert(int argc, char** argv, FILE* /*out*/, FILE* err) {
  SaveOptions options;
  std::vector<const char*> inputs;
  if (!TakeSaveArguments(argc, argv, InterlaceOption::kAccepted, &options, &inputs) || inputs.empty())
    return UsageError(err);

  if (!LoadInput(inputs[0], err)) return kExitFileError;
  for (size_t i = 1; i < inputs.size(); ++i) {
    if (!AppendInput(inputs[i], err)) {
      fprintf(err, "while adding %s\n", inputs[i]);
      return kExitFileError;
    }
  }
  return SaveDocument(options, err);
}
