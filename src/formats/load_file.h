// Loading files into the document, the reader chosen by the file name's last
// letter as the editor chooses it.
#pragma once

// Runs the reader for path at index: GIF for every name whose last letter is
// not "p" or "g" (the BMP and JPEG imports plug in there). True on success;
// a failure has been shown to the user. The progress display is ended
// either way.
bool ReadFileByExtension(const char* path, int index);

// Empties the document as opening a file in its place does (the swap file is
// then overwritten from its start) and reads path into it.
bool LoadDocument(const char* path);
