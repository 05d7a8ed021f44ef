// Paths in the program are UTF-8, whatever the system's code page; the calls
// that name files convert them at this edge. On Windows that means the wide
// (UTF-16) calls, so that any name a user gives opens; elsewhere the bytes
// pass as they are.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
// UTF-8 to UTF-16 and back; invalid sequences become U+FFFD.
std::wstring Utf16(const char* utf8);
std::string Utf8(const wchar_t* utf16);
#endif

// fopen, remove, and whether a folder is there, by a UTF-8 name.
FILE* OpenFile(const char* path, const char* mode);
int RemoveFile(const char* path);
bool IsFolder(const char* path);
// Makes one folder; true when it was made or a folder is there already.
bool MakeFolder(const char* path);

// The program's arguments in UTF-8: on Windows read again from the wide
// command line, elsewhere argv as it is.
std::vector<std::string> ProgramArguments(int argc, char** argv);
