// The settings between runs: string values under one key of the current
// user, read once while the main window is built and written once when it is
// destroyed; and the recent-file list with its numbered File menu entries.
//
// Every value is REG_SZ text. "default" holds the six flags as "0"/"1"
// characters in this order: addCreditComment, showOnlyDirtyRectangles,
// showPalette, showFramesWindow, interlacedSave, markDirtyRectangles.
// "File1".."File4" hold the recent files, newest first; "OpenDir" and
// "SaveDir" the dialogs' folders. "HDir", a help folder that installers of
// earlier versions wrote, is no longer read (help lies beside the program)
// and is left as it is.
#include "editor/settings_store.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "document/settings.h"
#include "platform/utf8_path.h"
#include "resource_ids.h"
#include "editor/shell_state.h"

char openDir[256] = "";
char saveDir[256] = "";

namespace {

constexpr char kSettingsKey[] = "Software\\Pelmor\\Frambo";
constexpr int kTextSize = 256;
constexpr int kMaxRecentFiles = 4;
constexpr int kFlagCount = 6;
constexpr DWORD kLargestValue = 1 << 20;
// The File menu's second separator before "E&xit": with the entries shown
// one separator more stands below them, and this one is taken out again
// before they are rebuilt.
constexpr UINT kRecentSeparatorPosition = 8;

char recentFiles[kMaxRecentFiles][kTextSize] = {};
int16_t recentFileCount = 0;
uint8_t recentSeparatorAdded = 0;

// The flags in the order of the characters of "default".
uint8_t* const flagOrder[kFlagCount] = {
    &settings.addCreditComment,      &settings.showOnlyDirtyRectangles, &settings.showPalette,
    &settings.showFramesWindow,      &settings.interlacedSave,          &settings.markDirtyRectangles,
};
// What a first run (no "default" stored) starts with.
constexpr uint8_t kFirstRunFlags[kFlagCount] = {1, 0, 0, 1, 0, 0};

class RegistryKey {
 public:
  explicit RegistryKey(HKEY key) : key_(key) {}
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_;
};

void CopyText(char* target, size_t capacity, const char* text) { snprintf(target, capacity, "%s", text); }

// Reads value name as text into target (kTextSize bytes, cut to 255
// characters). target is emptied first. Returns whether the value exists
// with a size other than 0.
bool ReadValue(const char* name, char* target) {
  target[0] = '\0';
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
  RegistryKey key(opened);
  // The wide call: texts are kept in UTF-8, and those an earlier version
  // wrote in the code page come back converted.
  const std::wstring wideName = Utf16(name);
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
    return false;
  // No text of ours comes near it; the buffer's size must not wrap.
  if (size > kLargestValue) return false;
  // One character more: a stored text need not end with its NUL.
  const size_t characters = size / sizeof(wchar_t);
  std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[characters + 1]);
  if (buffer == nullptr) return false;
  DWORD got = size;
  if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.get()), &got) !=
      ERROR_SUCCESS)
    return false;
  buffer[got / sizeof(wchar_t) <= characters ? got / sizeof(wchar_t) : characters] = L'\0';
  const std::string text = Utf8(buffer.get());
  snprintf(target, kTextSize, "%.*s", kTextSize - 1, text.c_str());
  return true;
}

// Each value through its own open and close; a failure is ignored, as there
// is nobody left to tell at shutdown.
void WriteValue(const char* name, const char* text) {
  HKEY opened = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegistryKey key(opened);
  const std::wstring wide = Utf16(text);
  RegSetValueExW(key.get(), Utf16(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                 static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void DeleteValue(const char* name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
  RegistryKey key(opened);
  RegDeleteValueA(key.get(), name);
}

// "File1".."File4" for entry 0..3.
void RecentValueName(int entry, char (&name)[6]) {
  CopyText(name, sizeof name, "File1");
  name[4] = static_cast<char>('1' + entry);
}

void ReadFlags() {
  for (int i = 0; i < kFlagCount; ++i) *flagOrder[i] = kFirstRunFlags[i];
  char stored[kTextSize];
  if (!ReadValue("default", stored)) return;
  // A shorter text leaves the flags it does not reach at their first-run
  // values instead of reading them from beyond its end.
  const size_t length = strlen(stored);
  for (size_t i = 0; i < kFlagCount && i < length; ++i) *flagOrder[i] = stored[i] != '0' ? 1 : 0;
}

void ReadRecentFiles() {
  for (auto& entry : recentFiles) entry[0] = '\0';
  recentFileCount = 0;
  // The list ends at the first missing or empty value.
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    char name[6];
    RecentValueName(i, name);
    if (!ReadValue(name, recentFiles[i]) || recentFiles[i][0] == '\0') break;
    recentFileCount = static_cast<int16_t>(i + 1);
  }
}

bool IsSeparatorAt(HMENU menu, UINT position) {
  MENUITEMINFOA item = {};
  item.cbSize = sizeof item;
  item.fMask = MIIM_FTYPE;
  return GetMenuItemInfoA(menu, position, TRUE, &item) && (item.fType & MFT_SEPARATOR) != 0;
}

// A "&" of a file name doubled, so that the menu shows it instead of
// underlining the letter after it.
void AppendMenuText(char* text, size_t capacity, const char* path) {
  size_t length = strlen(text);
  for (const char* c = path; *c != '\0' && length + 2 < capacity; ++c) {
    if (*c == '&') text[length++] = '&';
    text[length++] = *c;
  }
  text[length] = '\0';
}

// The entries "&1 path" .. "&4 path" and a separator of their own, between
// the two separators above "E&xit" and "E&xit" itself.
void RebuildRecentFileMenu() {
  HMENU fileMenu = mainMenu != nullptr ? GetSubMenu(mainMenu, 0) : nullptr;
  if (fileMenu == nullptr) return;
  for (int id = IDM_FILE_RECENT_FIRST; id <= IDM_FILE_RECENT_LAST; ++id) DeleteMenu(fileMenu, id, MF_BYCOMMAND);
  if (recentSeparatorAdded) {
    if (IsSeparatorAt(fileMenu, kRecentSeparatorPosition))
      DeleteMenu(fileMenu, kRecentSeparatorPosition, MF_BYPOSITION);
    recentSeparatorAdded = 0;
  }
  for (int i = 0; i < recentFileCount; ++i) {
    char text[2 * kTextSize + 8];
    snprintf(text, sizeof text, "&%i ", i + 1);
    AppendMenuText(text, sizeof text, recentFiles[i]);
    InsertMenuW(fileMenu, IDM_FILE_EXIT, MF_BYCOMMAND | MF_STRING, IDM_FILE_RECENT_FIRST + i, Utf16(text).c_str());
  }
  if (recentFileCount > 0) {
    InsertMenuA(fileMenu, IDM_FILE_EXIT, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
    recentSeparatorAdded = 1;
  }
  if (mainWindow != nullptr) DrawMenuBar(mainWindow);
}

}  // namespace

void ReadSettings() {
  ReadFlags();
  ReadRecentFiles();
  ReadValue("OpenDir", openDir);
  ReadValue("SaveDir", saveDir);
  // Each main window loads a fresh File menu: no separator of ours in it yet.
  recentSeparatorAdded = 0;
  RebuildRecentFileMenu();
}

void WriteSettings() {
  char flags[kFlagCount + 1];
  for (int i = 0; i < kFlagCount; ++i) flags[i] = static_cast<char>('0' + (*flagOrder[i] != 0 ? 1 : 0));
  flags[kFlagCount] = '\0';
  WriteValue("default", flags);
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    char name[6];
    RecentValueName(i, name);
    // A value left behind the list (a "File3" behind a missing "File2")
    // would join the list at the next start once the gap is filled.
    if (i < recentFileCount)
      WriteValue(name, recentFiles[i]);
    else
      DeleteValue(name);
  }
  if (openDir[0] != '\0') WriteValue("OpenDir", openDir);
  if (saveDir[0] != '\0') WriteValue("SaveDir", saveDir);
}

void AddRecentFile(const char* newPath) {
  // The caller's text may be one of the entries that move below.
  char path[kTextSize];
  CopyText(path, sizeof path, newPath);
  // The same file named with other letter cases takes the new spelling.
  for (int i = 0; i < recentFileCount;) {
    if (_stricmp(recentFiles[i], path) != 0) {
      ++i;
      continue;
    }
    for (int k = i; k + 1 < recentFileCount; ++k) CopyText(recentFiles[k], kTextSize, recentFiles[k + 1]);
    --recentFileCount;
    recentFiles[recentFileCount][0] = '\0';
  }
  for (int k = kMaxRecentFiles - 1; k > 0; --k) CopyText(recentFiles[k], kTextSize, recentFiles[k - 1]);
  CopyText(recentFiles[0], kTextSize, path);
  if (recentFileCount < kMaxRecentFiles) ++recentFileCount;
  RebuildRecentFileMenu();
}

const char* RecentFile(int k) {
  if (k < 0 || k >= recentFileCount) return "";
  return recentFiles[k];
}
