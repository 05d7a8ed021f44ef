// Replacing a file by another: MoveFileExW on Windows, rename elsewhere.
#include "platform/file_replace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/temp_file.h"
#include "platform/utf8_path.h"

namespace {

// The length of target's folder part, its last separator included (0 when
// the name stands alone).
size_t FolderLength(const char* target) {
  size_t folder = 0;
  for (size_t i = 0; target[i] != '\0'; ++i) {
#ifdef _WIN32
    if (target[i] == '\\' || target[i] == '/' || target[i] == ':') folder = i + 1;
#else
    if (target[i] == '/') folder = i + 1;
#endif
  }
  return folder;
}

}  // namespace

int CreateTempFileBeside(const char* target, char* out, size_t capacity) {
  if (capacity < 1) return -1;
  size_t folderLength = FolderLength(target);
#ifdef _WIN32
  char folder[MAX_PATH];
  if (folderLength + 2 > sizeof folder) return -1;
  if (folderLength == 0) {
    strcpy(folder, ".");
  } else {
    memcpy(folder, target, folderLength);
    folder[folderLength] = '\0';
  }
  // GetTempFileNameW creates the file, so two saves never get one name.
  wchar_t name[MAX_PATH];
  if (GetTempFileNameW(Utf16(folder).c_str(), Utf16(kTempPrefix).c_str(), 0, name) == 0) return -1;
  const std::string path = Utf8(name);
  const int handle = path.size() < capacity ? _wopen(name, _O_RDWR | _O_BINARY) : -1;
  if (handle < 0) {
    DeleteFileW(name);
    return -1;
  }
  strcpy(out, path.c_str());
  return handle;
#else
  static const char kPattern[] = "XXXXXX.tmp";
  size_t length = folderLength + strlen(kTempPrefix) + strlen(kPattern);
  if (length >= capacity) return -1;
  memcpy(out, target, folderLength);
  strcpy(out + folderLength, kTempPrefix);
  strcat(out, kPattern);
  int fd = mkstemps(out, 4);
  if (fd < 0) return -1;
  // The file was made private (0600). The file it will replace keeps its
  // mode; a new one gets what any new file gets, 0666 less the umask.
  struct stat existing;
  mode_t mode = 0;
  if (stat(target, &existing) == 0) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  if (mode != 0600) fchmod(fd, mode);
  return fd;
#endif
}

bool MoveFileOver(const char* source, const char* target) {
#ifdef _WIN32
  return MoveFileExW(Utf16(source).c_str(), Utf16(target).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return rename(source, target) == 0;
#endif

}
