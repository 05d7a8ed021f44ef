// The save options of frambo-cli and the save with the editor's GIF writer.
#include "cli/save_options.h"

#include <cstring>
#include <string>

#include "cli/cli.h"
#include "cli/cli_support.h"
#include "document/document.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "formats/gif_writer.h"
#include "headless/headless_ui.h"

namespace {

// The writer reads its options from the process-wide settings; a command
// changes them for its own save only, so that in-process runs (the tests)
// never see another run's options.
class ScopedSaveSettings {
 public:
  explicit ScopedSaveSettings(const SaveOptions& options) : saved_(settings) {
    if (options.noCredit) settings.addCreditComment = 0;
    if (options.interlaced) settings.interlacedSave = 1;
  }
  ScopedSaveSettings(const ScopedSaveSettings&) = delete;
  ScopedSaveSettings& operator=(const ScopedSaveSettings&) = delete;
  ~ScopedSaveSettings() { settings = saved_; }

 private:
  Settings saved_;
};

}  // namespace

int TakeSaveOption(int argc, char** argv, int i, InterlaceOption interlace, SaveOptions* options) {
  const char* arg = argv[i];
  if (strcmp(arg, "-o") == 0) {
    if (i + 1 >= argc || options->output != nullptr || argv[i + 1][0] == '\0') return -1;
    options->output = argv[i + 1];
    return 2;
  }
  if (strcmp(arg, "--loop") == 0) {
    if (i + 1 >= argc || options->loopGiven) return -1;
    const char* count = argv[i + 1];
    int value = 0;
    if (strcmp(count, "forever") == 0)
      value = kLoopForever;
    else if (strcmp(count, "none") == 0)
      value = kNoLooping;
    else if (!ParseDecimal(count, 0, kMaxLoopCount, &value))
      return -1;
    options->loopGiven = true;
    options->loopCount = value;
    return 2;
  }
  if (strcmp(arg, "--no-credit") == 0) {
    options->noCredit = true;
    return 1;
  }
  if (strcmp(arg, "--interlaced") == 0 && interlace == InterlaceOption::kAccepted) {
    options->interlaced = true;
    return 1;
  }
  return 0;
}

bool TakeSaveArguments(int argc, char** argv, InterlaceOption interlace, SaveOptions* options,
                       std::vector<const char*>* operands) {
  for (int i = 0; i < argc;) {
    int used = TakeSaveOption(argc, argv, i, interlace, options);
    if (used < 0) return false;
    if (used > 0) {
      i += used;
      continue;
    }
    if (argv[i][0] == '-' || argv[i][0] == '\0') return false;
    operands->push_back(argv[i++]);
  }
  return options->output != nullptr;
}

int SaveDocument(const SaveOptions& options, FILE* err) {
  ResetHeadlessUi();
  if (options.loopGiven) doc.loopCount = options.loopCount;
  bool written;
  {
    ScopedSaveSettings scoped(options);
    written = WriteGif(options.output);
  }
  EndProgress();  // as the editor's save does after every save
  if (written) return kExitOk;
  // Whatever the writer told the user, then the file it could not write.
  for (const std::string& message : headlessUi().messages) {
    if (message != kWriteErrorText) fprintf(err, "%s\n", message.c_str());
  }
  fprintf(err, "%s: %s\n", kWriteErrorText, options.output);
  return kExitFileError;
}
