// The user-interface operations of builds without windows (the command-line
// tool and the native tests). They keep the document's flags as the editor
// would and record what the user would have been shown, so that a test can
// assert it and the command-line tool can print it.
#pragma once

#include <string>
#include <vector>

struct HeadlessUi {
  std::vector<std::string> messages;     // message boxes, e.g. "Error in reading file"
  std::string statusText;                // the status bar's text
  int statusTextsSet = 0;
  std::vector<int> progressPositions;    // every bar position drawn (0..100)
  int progressHidden = 0;                // EndProgress calls
  bool progressVisible = false;
  bool animationEnabled = false;
  bool cutCopyEnabled = false;
  bool saveEnabled = false;
  int selectionCancels = 0;
  int palettesCreated = 0;
  int palettesDeleted = 0;
  int retainedResets = 0;
  int refreshes = 0;
  int framesListFills = 0;
  int playbackStops = 0;
  bool waitCursor = false;
};

// What has been recorded since the last reset.
HeadlessUi& headlessUi();
void ResetHeadlessUi();
