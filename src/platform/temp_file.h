// Unique temporary file names in the user's temporary folder, each carrying
// the program's three-letter prefix. The file is created empty, so the name
// stays reserved until the caller removes it.
#pragma once

#include <cstddef>

constexpr char kTempPrefix[] = "FRB";

// Writes the new file's full path into out (capacity bytes). False when no
// temporary file could be made.
bool MakeTempFileName(char* out, size_t capacity);
