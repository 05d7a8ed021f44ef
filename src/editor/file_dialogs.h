// The common Open and Save dialogs through the wide calls, so that a file of
// any name can be chosen. Paths and folders come and go in UTF-8.
#pragma once

#include <windows.h>

#include <string>

struct FileDialog {
  UINT filter = 0;            // string id: its parts split by its last character
  DWORD filterIndex = 0;      // the type shown first (from 1; 0 the first), then the one chosen
  const char* folder = nullptr;  // where it opens: nullptr for the system's choice, "" the current folder
  DWORD flags = 0;
  const wchar_t* defaultExtension = nullptr;
  std::string path;           // the file chosen
  std::string chosenFolder;   // its folder, with the trailing backslash
};

// False when the dialog was cancelled or its filter cannot be had.
bool ChooseFileToOpen(FileDialog* dialog);
bool ChooseFileToSave(FileDialog* dialog);
