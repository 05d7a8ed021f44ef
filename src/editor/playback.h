// Playback: the main window's timer 12 steps the current frame through the
// image frames, each shown for its own delay. StopPlayback is declared in
// document/ui_operations.h.
#pragma once

#include <windows.h>

constexpr UINT_PTR kPlaybackTimerId = 12;

// Play (401, toolbar 12).
void StartPlayback();
// WM_TIMER of the main window.
void PlaybackStep();
// True while the playback timer is set.
bool PlaybackRunning();
