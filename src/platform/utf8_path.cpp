#include "platform/utf8_path.h"

#include <sys/stat.h>

#include <cerrno>

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>
#endif

#ifdef _WIN32

std::wstring Utf16(const char* utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

std::string Utf8(const wchar_t* utf16) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, utf16, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16, -1, &narrow[0], length, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(length - 1));
  return narrow;
}

FILE* OpenFile(const char* path, const char* mode) { return _wfopen(Utf16(path).c_str(), Utf16(mode).c_str()); }

int RemoveFile(const char* path) { return _wremove(Utf16(path).c_str()); }

bool IsFolder(const char* path) {
  const DWORD attributes = GetFileAttributesW(Utf16(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolder(const char* path) { return _wmkdir(Utf16(path).c_str()) == 0 || (errno == EEXIST && IsFolder(path)); }

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

#else

FILE* OpenFile(const char* path, const char* mode) { return fopen(path, mode); }

int RemoveFile(const char* path) { return remove(path); }

bool IsFolder(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolder(const char* path) { return mkdir(path, 0777) == 0 || (errno == EEXIST && IsFolder(path)); }

std::vector<std::string> ProgramArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

#endif
