// The settings and the recent-file list as they live between runs, and the
// folders the file dialogs start in.
#pragma once

extern char openDir[256];
extern char saveDir[256];
extern char helpPath[256];

// Reads the settings at start-up (and builds the recent-file menu entries);
// writes them at shutdown.
void ReadSettings();
void WriteSettings();

// Puts path at the top of the recent-file list.
void AddRecentFile(const char* path);
// Entry k (0..3) of the recent-file list, "" when there is none.
const char* RecentFile(int k);
