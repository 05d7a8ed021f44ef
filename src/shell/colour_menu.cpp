// Placeholder until the Colors menu is built.
#include "shell/colour_menu.h"

LRESULT OnColourCommand(int) { return 0; }
