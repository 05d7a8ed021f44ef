// ReadGif: loads every image and comment of a GIF file into the frame list.
#pragma once

// Reads the file at path into the document, inserting its entries from
// insertionIndex on. True when the file was read to its trailer or its end;
// false after an error, which has then been shown to the user ("Error in
// reading file"). Entries completed before an error stay in the document.
bool ReadGif(const char* path, int insertionIndex);
