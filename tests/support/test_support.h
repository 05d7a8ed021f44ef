// Shared helpers of the core tests: a scratch folder, files written from
// bytes, the document emptied between tests, frames built in the swap file
// and read back from it, the document seen as entries of colours, and
// frambo-cli run in-process.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "document/document.h"

// ---- files ---------------------------------------------------------------------

// A path in the tests' scratch folder (created on first use).
std::string ScratchPath(const std::string& name);

// Writes bytes to a scratch file and returns its path.
std::string WriteScratchFile(const std::string& name, const std::vector<uint8_t>& bytes);

std::vector<uint8_t> FileBytes(const std::string& path);

// Little-endian fields of a file's bytes.
uint32_t ReadLe16(const uint8_t* p);
uint32_t ReadLe32(const uint8_t* p);

std::string TestDataPath(const std::string& name);

// Every .gif in tests/data, sorted, and a test name made of one.
std::vector<std::string> DataGifs();
std::string DataFileTestName(const testing::TestParamInfo<std::string>& info);

// ---- the document --------------------------------------------------------------

// Empties the document, rewinds the swap file and clears what the headless
// user interface recorded: every test starts from a new document.
void ResetDocument();

// Opens path in place of the document, as File Open does.
bool LoadFresh(const std::string& path);

// Saves with exactly these options; the settings are restored afterwards.
enum SaveOptions : unsigned { kWithCredit = 1, kInterlacedSave = 2 };
bool SaveAs(const std::string& path, unsigned options);

// The pixels of image frame index as rows top to bottom, width bytes each.
std::vector<uint8_t> FramePixels(int index);

// Frame index's block exactly as the swap file holds it: rowStride x height
// bytes, bottom row first, padding included.
std::vector<uint8_t> StoredBlock(int index);

// The text of comment entry index.
std::string CommentText(int index);

// Reproducible pixels below modulo.
std::vector<uint8_t> Noise(size_t n, int modulo, uint32_t seed = 12345);

// Appends an image entry at (0, 0) with colours as its palette (colorCount
// their number) and pixels given top to bottom; row padding gets padding.
Frame& AppendImage(int width, int height, const std::vector<RgbTriple>& colours,
                   const std::vector<uint8_t>& pixels, uint8_t padding = 0);
void AppendComment(const std::string& text);

// ---- the document as entries ---------------------------------------------------

constexpr char kCreditStart[] = "GIF assembled with Pelmor's Frambo\n";
// No colour has these bits set: a transparent pixel is its own value, and a
// pixel whose colour nothing defines matches any.
constexpr uint32_t kTransparentPixel = 0xFF000000u;
constexpr uint32_t kAnyColour = 0xFE000000u;

// What an entry shows, independent of how its palette is ordered.
struct Entry {
  bool comment = false;
  std::string text;
  int left = 0, top = 0, width = 0, height = 0, delay = 0, disposal = 0;
  bool transparent = false;
  int transparentIndex = 0;
  bool interlaced = false, useGlobalPalette = false;
  std::vector<uint32_t> colours;  // top-down rows: 0xRRGGBB, kTransparentPixel or kAnyColour
  std::vector<uint8_t> indices;
};

// Each pixel of image frame index as 0xRRGGBB, or kTransparentPixel.
std::vector<uint32_t> FrameColours(int index);

std::vector<Entry> DocumentEntries();

// What a save keeps: every entry but the empty comments, which the writer
// leaves out (giflib refuses a comment without data, tests/data/comment-empty.gif).
std::vector<Entry> WithoutEmptyComments(std::vector<Entry> entries);

// What EntryDifferences compares besides rectangles, timing, disposal,
// transparency and colours: the stored indices, and how the image is kept
// (interlaced, global palette flag, transparent index).
enum CompareAlso : unsigned { kColoursOnly = 0, kIndices = 1, kStorage = 2 };

// Every way got differs from want, one line each; pixels report only their
// first difference per entry.
std::vector<std::string> EntryDifferences(const std::vector<Entry>& want, const std::vector<Entry>& got,
                                          unsigned compareAlso);

std::string Join(const std::vector<std::string>& lines);

// ---- frambo-cli ----------------------------------------------------------------

struct CliResult {
  int status = -1;
  std::string out, err;
};

// Runs frambo-cli with args in-process.
CliResult RunTool(std::vector<std::string> args);

