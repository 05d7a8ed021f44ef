// The program's one logical screen descriptor.
#include "document/gif_screen.h"

ScreenDescriptor screenDescriptor;
