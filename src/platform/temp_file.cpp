// Unique temporary file names: GetTempPathA and GetTempFileNameA on Windows,
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

bool MakeTempFileName(char* out, size_t capacity) {
  if (capacity < 1) return false;
#ifdef _WIN32
  char folder[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, folder);
  if (length == 0 || length >= MAX_PATH) return false;
  char name[MAX_PATH];
  if (GetTempFileNameA(folder, kTempPrefix, 0, name) == 0) return false;
  if (strlen(name) >= capacity) {
    DeleteFileA(name);
    return false;
  }
  strcpy(out, name);
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
