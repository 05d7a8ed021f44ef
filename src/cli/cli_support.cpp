// Helpers shared by the commands of frambo-cli.
#include "cli/cli_support.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "cli/cli.h"
#include "formats/load_file.h"
#include "headless/headless_ui.h"
#include "platform/utf8_path.h"

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  frambo-cli info [--json] FILE\n"
    "  frambo-cli frames FILE OUTDIR\n"
    "  frambo-cli render FILE OUTDIR\n"
    "  frambo-cli convert FILE... -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]\n"
    "  frambo-cli optimize FILE -o OUT.gif [--transparency] [--interlaced] [--no-credit] [--loop COUNT]\n"
    "  frambo-cli unoptimize FILE -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]\n"
    "  frambo-cli colors N FILE -o OUT.gif [--no-credit] [--loop COUNT]\n"
    "  frambo-cli gray FILE -o OUT.gif [--frame K] [--no-credit] [--loop COUNT]\n"
    "  frambo-cli reduce N FILE -o OUT.gif [--frame K] [--no-credit] [--loop COUNT]\n"
    "  frambo-cli delay N FILE -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]\n"
    "  frambo-cli speed F FILE -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]\n"
    "  frambo-cli dedupe FILE -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]\n"
    "  frambo-cli palette-save FILE K OUT.pal\n"
    "  frambo-cli palette-load FILE K IN.pal -o OUT.gif [--no-credit] [--loop COUNT]\n"
    "COUNT is 0 to 65535 (0: for ever), forever, or none (no looping extension)\n"
    "N is a delay in hundredths of a second (0 to 65535); F plays the animation F times as fast (2, 0.5)\n";


bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

}  // namespace

bool ParseDecimal(const char* text, long low, long high, int* value) {
  if (*text < '0' || *text > '9') return false;
  errno = 0;
  char* end = nullptr;
  long parsed = strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
  *value = static_cast<int>(parsed);
  return true;
}

int UsageError(FILE* err) {
  fputs(kUsage, err);
  return kExitUsage;
}

int LoadInputForFolder(int argc, char** argv, FILE* err, const char** folder) {
  if (argc != 2 || argv[0][0] == '-' || argv[1][0] == '-') return UsageError(err);
  if (!LoadInput(argv[0], err)) return kExitFileError;
  if (!MakeDirectories(argv[1])) {
    fprintf(err, "%s: %s\n", kWriteErrorText, argv[1]);
    return kExitFileError;
  }
  *folder = argv[1];
  return kExitOk;
}

bool LoadInput(const char* path, FILE* err) {
  ResetHeadlessUi();
  if (!doc.swapFile.IsOpen() && !OpenSwapFile()) {
    fprintf(err, "Error in reading file: no swap file could be created\n");
    return false;
  }
  if (LoadDocument(path)) return true;
  const auto& messages = headlessUi().messages;
  if (messages.empty()) fputs("Error in reading file\n", err);
  for (const std::string& message : messages) fprintf(err, "%s\n", message.c_str());
  return false;
}

uint32_t EntryByteCount(const Frame& frame) {
  if (IsComment(frame)) return frame.left > 0 ? static_cast<uint32_t>(frame.left) : 0;
  if (frame.width <= 0 || frame.height <= 0) return 0;
  return static_cast<uint32_t>(RowStride(frame.width)) * static_cast<uint32_t>(frame.height);
}

bool ReadEntryBytes(const Frame& frame, ByteBuffer* bytes) {
  uint32_t count = EntryByteCount(frame);
  if (!bytes->Allocate(count)) return false;
  if (count != 0) doc.swapFile.ReadBlockAt(frame.dataOffset, bytes->data(), count);
  return true;
}

bool MakeDirectories(const char* path) {
  if (*path == '\0') return false;
  if (IsFolder(path)) return true;
  // Create each missing parent in turn, as "mkdir -p" does.
  std::string partial(path);
  for (size_t i = 1; i < partial.size(); ++i) {
    if (!IsSeparator(partial[i]) || IsSeparator(partial[i - 1])) continue;
    if (i == 2 && partial[1] == ':') continue;  // a drive's root such as C:/
    std::string parent = partial.substr(0, i);
    if (!IsFolder(parent.c_str()) && !MakeFolder(parent.c_str())) return false;
  }
  return MakeFolder(path);
}

OutputFile::~OutputFile() {
  if (file_ != nullptr) fclose(file_);
}

bool OutputFile::Open(const char* path) {
  file_ = OpenFile(path, "wb");
  failed_ = file_ == nullptr;
  return !failed_;
}

bool OutputFile::Write(const void* data, size_t count) {
  if (file_ == nullptr || failed_) return false;
  if (count != 0 && fwrite(data, 1, count, file_) != count) failed_ = true;
  return !failed_;
}

bool OutputFile::Close() {
  if (file_ == nullptr) return false;
  bool ok = !failed_ && fflush(file_) == 0 && !ferror(file_);
  if (fclose(file_) != 0) ok = false;
  file_ = nullptr;
  return ok;
}
