// The document's life as the user sees it: New, Open, Insert, Add, recent
// files, Save and Save as with the save deferred to the message loop, the
// question "Do you want to save the changes?" and the command it resumes,
// the modified flag and the caption. SetModified is declared in
// document/ui_operations.h.
#pragma once

#include <windows.h>

#include <cstdint>

// The deferred-save handshake: Save as sets kSaveAsChosen; the main window's
// paint ORs in kMainWindowPainted and the image view's kViewPainted; Save
// sets kSaveDue at once. The message loop saves when it reads kSaveDue.
constexpr uint8_t kSaveIdle = 0;
constexpr uint8_t kSaveAsChosen = 1;
constexpr uint8_t kViewPainted = 2;
constexpr uint8_t kMainWindowPainted = 4;
constexpr uint8_t kSaveDue = 7;
extern uint8_t saveState;

// The command a Yes to the save prompt resumes after a successful save.
enum ResumeCode : uint8_t { kResumeNothing = 0, kResumeClose, kResumeNew, kResumeOpen, kResumeRecentFile };
extern uint8_t pendingAfterSave;
extern char pendingRecentFile[256];

// The save prompt for a command: true when the command goes on now (nothing
// to save, or No); false when it ends here (Cancel, or Yes: the save was
// requested and resumes the command afterwards).
bool ConfirmSaveChanges(ResumeCode code);
// The end of the Windows session asks as closing does, but a Yes saves at
// once. Whether the session may end: No, or Yes and the save succeeded.
bool ConfirmEndOfSession();

// After the frame list changed under them: the current frame kept within
// it, and the Animation menu, Save as, the caption and the shown picture
// following what it holds.
void FollowFrameList();

void NewDocument();
// Loads path into the document at index; with replace the document is
// emptied first and the file becomes the document. False when it failed.
bool OpenDocumentFile(const char* path, int index, bool replace);
// Runs the reader the last letter of path chooses. Non-zero on success.
int16_t LoadFileByExtension(const char* path, int index);
// The Open dialog (filter string 1), then OpenDocumentFile with the chosen
// file. False when the dialog was cancelled (nothing was opened).
bool ShowOpenDialog(int index, bool replace);
void OpenRecentFile(int k);
// Command 904: opens pendingRecentFile in place of the document.
void OpenPendingRecentFile();
// Save (103): the current file name, saved from the message loop.
void RequestSave();
// Save as (104): the dialog; the save follows once the views have repainted.
void ShowSaveAsDialog();
// The deferred save; the message loop calls it when saveState is kSaveDue.
void RunDeferredSave();
// Sets the caption "Frambo - NAME ZOOM".
void UpdateTitle();
// A GIF, BMP or JPEG file dropped on the main window: opened as Open does,
// after the save prompt. Any other file is refused with "Error in reading
// file"; of several files only the first is taken.
void OpenDroppedFiles(HDROP drop);
