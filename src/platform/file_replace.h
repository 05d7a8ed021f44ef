// Replacing a file by another without ever leaving it half written: the new
// content goes to a temporary file beside the target, which is then moved
// over it in one step.
#pragma once

#include <cstddef>

// Creates an empty file with a unique name in the target's folder (the
// program's prefix, a unique part and ".tmp"), with the target's permissions
// when it exists, writes its path into out (capacity bytes) and returns it
// open for writing, for FileClose; negative when no such file could be made.
// The name stays reserved until the file is removed.
int CreateTempFileBeside(const char* target, char* out, size_t capacity);

// Moves the file at source over target, replacing target if it exists.
// False, with both left as they were, on failure. (Not "ReplaceFile":
// <windows.h> defines that name as a macro.)
bool MoveFileOver(const char* source, const char* target);
