// frambo-cli frames FILE OUTDIR: every entry of the file as a file of its
// own, frame-NNN.bmp for an image and frame-NNN.txt for a comment, NNN being
// the entry's 0-based index.
#include <string>

#include "cli/bmp_writer.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "document/document.h"

namespace {

bool WriteCommentText(const Frame& frame, const char* path) {
  ByteBuffer text;
  if (!ReadEntryBytes(frame, &text)) return false;
  OutputFile file;
  if (!file.Open(path)) return false;
  file.Write(text.data(), EntryByteCount(frame));
  return file.Close();
}

}  // namespace

int RunFrames(int argc, char** argv, FILE* /*out*/, FILE* err) {
  const char* folder = nullptr;
  int status = LoadInputForFolder(argc, argv, err, &folder);
  if (status != kExitOk) return status;
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& frame = *doc.frames[i];
    char name[32];
    snprintf(name, sizeof name, "/frame-%03d.%s", i, IsComment(frame) ? "txt" : "bmp");
    std::string path = std::string(folder) + name;
    bool written = IsComment(frame) ? WriteCommentText(frame, path.c_str())
                                    : WriteFrameBmp(frame, path.c_str());
    if (!written) {
      fprintf(err, "%s: %s\n", kWriteErrorText, path.c_str());
      return kExitFileError;
    }
  }
  return kExitOk;
}
