// What the colour and dirty-rectangle command tests share: the document
// saved through Save as, the same build's frambo-cli.exe run as its own
// process on the same input, files read back whole, and the status texts a
// command shows while it works.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/settings.h"
#include "gui_harness.h"
#include "resource_ids.h"

#ifndef FRAMBO_BUILD_DIR
#error "FRAMBO_BUILD_DIR must name the build folder that holds frambo-cli.exe"
#endif

inline std::vector<uint8_t> FileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  uint8_t chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  fclose(file);
  return bytes;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  fwrite(bytes.data(), 1, bytes.size(), file);
  fclose(file);
}

// The document written to path the way a user does it: Save as, the name
// typed, the credit comment on and no interlacing, as frambo-cli writes by
// default.
inline void SaveDocumentAs(EditorSession& session, const std::string& path) {
  DeleteFileA(path.c_str());
  settings.addCreditComment = 1;
  settings.interlacedSave = 0;
  session.AnswerFileName(path);
  session.Command(IDM_FILE_SAVE_AS);
  session.Pump();
}

// Runs frambo-cli.exe with arguments; its exit status, -1 when it could not
// be started or did not end within a minute.
inline int RunCli(const std::string& arguments) {
  std::string exe = FRAMBO_BUILD_DIR "/frambo-cli.exe";
  for (char& c : exe)
    if (c == '/') c = '\\';
  std::string line = "\"" + exe + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process))
    return -1;
  DWORD status = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

inline std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Every text the status bar is given while it lives, in order.
class StatusTextRecorder {
 public:
  explicit StatusTextRecorder(HWND statusBar) : bar_(statusBar) {
    current_ = this;
    old_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StatusTextRecorder::Proc)));
  }
  ~StatusTextRecorder() {
    SetWindowLongPtrA(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_));
    current_ = nullptr;
  }
  StatusTextRecorder(const StatusTextRecorder&) = delete;
  StatusTextRecorder& operator=(const StatusTextRecorder&) = delete;

  const std::vector<std::string>& texts() const { return texts_; }
  // The texts with runs of the same text shown once.
  std::vector<std::string> distinct() const {
    std::vector<std::string> out;
    for (const std::string& text : texts_)
      if (out.empty() || out.back() != text) out.push_back(text);
    return out;
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    StatusTextRecorder* self = current_;
    if (message == SB_SETTEXTA && LOBYTE(LOWORD(wParam)) == 0)
      self->texts_.push_back(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
    return CallWindowProcA(self->old_, window, message, wParam, lParam);
  }

  static inline StatusTextRecorder* current_ = nullptr;
  HWND bar_;
  WNDPROC old_ = nullptr;
  std::vector<std::string> texts_;
};

// Image frame index's stored pixel rows.
inline std::vector<uint8_t> FramePixels(int index) {
  ByteBuffer block;
  if (index < 0 || index >= doc.frameCount || !ReadFrameBlock(*doc.frames[index], &block)) return {};
  return std::vector<uint8_t>(block.data(), block.data() + block.size());
}

// The first `count` colours of image frame index as (red, green, blue).
inline std::vector<RgbTriple> FrameColours(int index, int count) {
  std::vector<RgbTriple> colours;
  for (int i = 0; i < count; ++i) {
    const PaletteEntry& entry = doc.frames[index]->palette[i];
    colours.push_back(RgbTriple{entry.red, entry.green, entry.blue});
  }
  return colours;
}

inline bool operator==(const RgbTriple& a, const RgbTriple& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
inline std::ostream& operator<<(std::ostream& out, const RgbTriple& c) {
  return out << "(" << int(c.red) << "," << int(c.green) << "," << int(c.blue) << ")";
}
