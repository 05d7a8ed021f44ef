// Interoperability of the GIF reader with giflib: every GIF in tests/data
// that giflib's DGifSlurp reads must come out of ReadGif as the same entries
// in the same order (images and comments), with the same rectangles, timing,
// disposal, transparency, storage, colours and pixel indices. Files where we
// differ on purpose, and files giflib refuses, are listed in kExpectations.
#if FRAMBO_HAVE_GIFLIB

#include <gtest/gtest.h>

#include <utility>
#include <string>
#include <vector>

#include "giflib_support.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

enum class Outcome {
  kSame,           // giflib reads it and so do we, to the same entries
  kOurReadError,   // giflib reads it, we refuse it on purpose with one read error
  kCommentCapped,  // a comment past 32767 bytes (its 16-bit length): we keep its first 32767
  kGiflibRefuses,  // DGifSlurp fails: we must fail with one read error or succeed, never crash
};

// Files not listed here are expected to be kSame.
constexpr std::pair<const char*, Outcome> kExpectations[] = {
    {"width-40000.gif", Outcome::kOurReadError},     // frame width does not fit the 16-bit field
    {"comment-40000.gif", Outcome::kCommentCapped},  // a 40000-byte comment
    // giflib's DGifSlurp wants at least one image.
    {"artificial-no-frames.gif", Outcome::kGiflibRefuses},
    {"comment-only.gif", Outcome::kGiflibRefuses},
    // Fewer pixels than width x height: our rows past the data stay index 0.
    {"artificial-pixel-data-none.gif", Outcome::kGiflibRefuses},
    {"artificial-pixel-data-not-enough.gif", Outcome::kGiflibRefuses},
    // A 0x0 frame; we drop it.
    {"artificial-zero-width-frame.gif", Outcome::kGiflibRefuses},
    // A comment extension without any data sub-block (21 FE 00).
    {"comment-empty.gif", Outcome::kGiflibRefuses},
    // Cut short: inside the LZW data, or just before the trailer.
    {"hippopotamus-interlaced-truncated.gif", Outcome::kGiflibRefuses},
    {"malformed-truncated-in-lzw.gif", Outcome::kGiflibRefuses},
    {"malformed-missing-trailer.gif", Outcome::kGiflibRefuses},
    {"malformed-truncated-header.gif", Outcome::kGiflibRefuses},
    {"malformed-empty.gif", Outcome::kGiflibRefuses},
    {"malformed-not-a-gif.gif", Outcome::kGiflibRefuses},
    {"malformed-lzw-min-code-size-12.gif", Outcome::kGiflibRefuses},
};

Outcome ExpectedOutcome(const std::string& file) {
  for (const auto& e : kExpectations)
    if (file == e.first) return e.second;
  return Outcome::kSame;
}

class ReaderAgreesWithGiflib : public testing::TestWithParam<std::string> {};

TEST_P(ReaderAgreesWithGiflib, OnEveryDataFile) {
  const std::string file = GetParam();
  const Outcome outcome = ExpectedOutcome(file);
  GiflibFile reference(TestDataPath(file));
  bool ours = LoadFresh(TestDataPath(file));
  const auto& messages = headlessUi().messages;
  const std::string said = messages.empty() ? "no message" : messages[0];

  if (!reference.slurped) {
    ASSERT_EQ(outcome, Outcome::kGiflibRefuses) << file << ": giflib refuses it (list it in kExpectations)";
    EXPECT_EQ(messages.size(), ours ? 0u : 1u) << file << ": " << (ours ? "read" : "refused") << ", " << said;
    EXPECT_TRUE(ours || said == "Error in reading file") << file << ": " << said;
    return;
  }
  ASSERT_NE(outcome, Outcome::kGiflibRefuses) << file << ": listed as refused, yet giflib reads it";
  const bool refused = outcome == Outcome::kOurReadError;
  EXPECT_EQ(!refused, ours) << file << ": " << said;
  if (refused) {
    ASSERT_EQ(messages.size(), 1u) << file << ": expected one message, got " << messages.size();
    EXPECT_EQ(messages[0], "Error in reading file");
  }
  if (outcome == Outcome::kOurReadError) return;

  std::vector<std::string> unused;
  int loopCount = 0;
  std::vector<Entry> expected = GiflibEntries(*reference.gif, &unused, &loopCount);
  for (Entry& entry : expected)
    if (outcome == Outcome::kCommentCapped && entry.text.size() > 32767) entry.text.resize(32767);
  // The background index is taken only when the whole file was read.
  EXPECT_TRUE(!ours || doc.backgroundIndex == reference.gif->SBackGroundColor) << file << ": background index";
  EXPECT_TRUE(!ours || doc.loopCount == loopCount) << file << ": loop count";
  std::vector<std::string> faults = EntryDifferences(expected, DocumentEntries(), kIndices | kStorage);
  EXPECT_TRUE(faults.empty()) << file << " differs from giflib:\n" << Join(faults);
}

INSTANTIATE_TEST_SUITE_P(DataFiles, ReaderAgreesWithGiflib, testing::ValuesIn(DataGifs()), DataFileTestName);

}  // namespace

#endif  // FRAMBO_HAVE_GIFLIB
