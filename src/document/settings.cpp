// The user's view and save options, with the values used when none are stored.
#include "document/settings.h"

Settings settings;
