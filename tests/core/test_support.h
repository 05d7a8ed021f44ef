// Shared helpers of the core tests: a scratch folder, files written from
// bytes, the document emptied between tests, and frame pixels read back from
// the swap file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/document.h"

// A path in the tests' scratch folder (created on first use).
std::string ScratchPath(const std::string& name);

// Writes bytes to a scratch file and returns its path.
std::string WriteScratchFile(const std::string& name, const std::vector<uint8_t>& bytes);

std::string TestDataPath(const std::string& name);

// Empties the document, rewinds the swap file and clears what the headless
// user interface recorded: every test starts from a new document.
void ResetDocument();

// The pixels of image frame index as rows top to bottom, width bytes each.
std::vector<uint8_t> FramePixels(int index);

// The text of comment entry index.
std::string CommentText(int index);
