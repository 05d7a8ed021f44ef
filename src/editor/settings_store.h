// The settings and the recent-file list as they live between runs (string
// values under HKEY_CURRENT_USER\Software\Pelmor\Frambo), and the folders
// the file dialogs start in.
#pragma once

// The folders of the last Open and Save-as dialogs, "" for none.
extern char openDir[256];
extern char saveDir[256];

// Reads the settings at start-up (and builds the recent-file menu entries);
// writes them at shutdown.
void ReadSettings();
void WriteSettings();

// Puts path at the top of the recent-file list (a path listed already,
// whatever its letter case, moves up), keeps the newest four and rebuilds
// the File menu's numbered entries.
void AddRecentFile(const char* path);
// Entry k (0..3) of the recent-file list, "" when there is none.
const char* RecentFile(int k);
