// Unique temporary file names: GetTempPathW and GetTempFileNameW on Windows,
// mkstemp in $TMPDIR (or /tmp) elsewhere.
#include "platform/temp_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "platform/utf8_path.h"

bool MakeTempFileName(char* out, size_t capacity) {
  if (capacity < 1) return false;
#ifdef _WIN32
  wchar_t folder[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return false;
  wchar_t name[MAX_PATH];
  if (GetTempFileNameW(folder, Utf16(kTempPrefix).c_str(), 0, name) == 0) return false;
  const std::string path = Utf8(name);
  if (path.size() >= capacity) {
    DeleteFileW(name);
    return false;
  }
  strcpy(out, path.c_str());
  return true;
#else
  const char* folder = getenv("TMPDIR");
  if (folder == nullptr || *folder == '\0') folder = "/tmp";
  char name[4096];
  int written = snprintf(name, sizeof name, "%s/%sXXXXXX", folder, kTempPrefix);
  if (written < 0 || static_cast<size_t>(written) >= sizeof name ||
      static_cast<size_t>(written) >= capacity)
    return false;
  int fd = mkstemp(name);
  if (fd < 0) return false;
  close(fd);
  strcpy(out, name);
  return true;
#endif

}
