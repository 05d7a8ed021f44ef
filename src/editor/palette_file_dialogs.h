// "Load palette" and "Save palette" of the Colors menu: the file dialogs
// around the palette-file reader and writer.
#pragma once

// Asks for a palette file and gives the current image frame its colours;
// a file that cannot be read says "Error in reading file" and changes
// nothing. Nothing without frames or on a comment entry.
void LoadPaletteFromDialog();

// Asks for a file name and writes the current image frame's palette there;
// a file that cannot be written says "Error in writing file". Nothing
// without frames or on a comment entry.
void SavePaletteFromDialog();
