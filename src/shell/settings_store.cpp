// Placeholder until the settings are kept between runs: the defaults only.
#include "shell/settings_store.h"

char openDir[256] = "";
char saveDir[256] = "";
char helpPath[256] = "";

void ReadSettings() {}
void WriteSettings() {}
void AddRecentFile(const char*) {}
const char* RecentFile(int) { return ""; }
