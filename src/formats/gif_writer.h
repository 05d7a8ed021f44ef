// WriteGif: saves the document as one GIF89a file.
#pragma once

// The comment put in front of the entries when settings.addCreditComment is
// on; written without a terminating zero.
extern const char creditComment[];

// Writes every entry of the document to path: the global palette is made
// first, a looping extension follows the screen, then each image (always with
// a graphic control extension) and comment in list order. The file is built
// beside path and moved over it only once complete, so on failure (false)
// the file at path and doc.fileName are as they were. On success
// doc.fileName is path.
bool WriteGif(const char* path);
