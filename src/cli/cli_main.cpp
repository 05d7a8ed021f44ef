// frambo-cli's entry point: the commands live in the library beside it so
// that the tests can run them in-process.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "document/document.h"
#include "formats/jpeg_import.h"
#include "platform/utf8_path.h"


int main(int argc, char** argv) {
  jpegDiagnostics = true;  // the console tool shows the JPEG import's diagnostic lines
  // The arguments as typed, in UTF-8, whatever the console's code page.
  std::vector<std::string> texts = ProgramArguments(argc, argv);
  std::vector<char*> arguments;
  for (std::string& text : texts) arguments.push_back(&text[0]);
  argc = static_cast<int>(arguments.size());
  argv = arguments.data();
  int status = RunCli(argc, argv, stdout, stderr);
  if (fflush(stdout) != 0 && status == kExitOk) {
    fputs("Error in writing file: standard output\n", stderr);
    status = kExitFileError;
  }
  CloseSwapFile();
  return status;
}
