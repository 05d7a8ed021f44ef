#include "editor/file_dialogs.h"

#include <commdlg.h>

#include <cwchar>

#include "platform/utf8_path.h"
#include "editor/shell_state.h"

namespace {

// Room for the longest path the wide calls take.
constexpr DWORD kPathCapacity = 32768;
constexpr int kFilterCapacity = 512;

bool Choose(FileDialog* dialog, bool save) {
  wchar_t filter[kFilterCapacity];
  const int length = LoadStringW(appInstance, dialog->filter, filter, kFilterCapacity - 1);
  if (length <= 0) return false;
  const wchar_t separator = filter[length - 1];
  for (int i = 0; i < length; ++i)
    if (filter[i] == separator) filter[i] = L'\0';
  filter[length] = L'\0';  // the list ends with two NULs
  std::wstring file(kPathCapacity, L'\0');
  const std::wstring folder = dialog->folder != nullptr ? Utf16(dialog->folder) : std::wstring();
  OPENFILENAMEW record = {};
  record.lStructSize = sizeof record;
  record.hwndOwner = mainWindow;
  record.lpstrFilter = filter;
  record.nFilterIndex = dialog->filterIndex;
  record.lpstrFile = &file[0];
  record.nMaxFile = kPathCapacity;
  record.lpstrInitialDir = dialog->folder != nullptr ? folder.c_str() : nullptr;
  record.Flags = dialog->flags;
  record.lpstrDefExt = dialog->defaultExtension;
  if (!(save ? GetSaveFileNameW(&record) : GetOpenFileNameW(&record))) return false;
  file.resize(wcslen(file.c_str()));
  dialog->filterIndex = record.nFilterIndex;
  dialog->path = Utf8(file.c_str());
  dialog->chosenFolder = Utf8(file.substr(0, record.nFileOffset <= file.size() ? record.nFileOffset : 0).c_str());
  return true;
}

}  // namespace

bool ChooseFileToOpen(FileDialog* dialog) { return Choose(dialog, false); }

bool ChooseFileToSave(FileDialog* dialog) { return Choose(dialog, true); }
