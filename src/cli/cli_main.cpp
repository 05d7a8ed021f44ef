// frambo-cli's entry point: the commands live in the library beside it so
// that the tests can run them in-process.
#include <cstdio>

#include "cli/cli.h"
#include "document/document.h"
#include "formats/jpeg_import.h"

int main(int argc, char** argv) {
  jpegDiagnostics = true;  // the console tool shows the JPEG import's diagnostic lines
  int status = RunCli(argc, argv, stdout, stderr);
  if (fflush(stdout) != 0 && status == kExitOk) {
    fputs("Error in writing file: standard output\n", stderr);
    status = kExitFileError;
  }
  CloseSwapFile();
  return status;
}
