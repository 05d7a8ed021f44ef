// Loading a file in place of the document.
#include "formats/load_file.h"

#include <gtest/gtest.h>

#include "document/document.h"
#include "gif_builder.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

TEST(LoadFileTest, OpeningAFileReplacesTheDocumentAndRewindsTheSwapFile) {
  ResetDocument();
  GifBuilder first;
  first.Header().Screen(8, 8, 4).Image(0, 0, 8, 8, std::vector<uint8_t>(64, 1)).Comment("x").Trailer();
  ASSERT_TRUE(LoadDocument(WriteScratchFile("first.gif", first.bytes).c_str()));
  ASSERT_EQ(2, doc.frameCount);
  EXPECT_EQ(65u, doc.swapEnd);

  GifBuilder second;
  second.Header().Screen(2, 2, 4, 1).Image(0, 0, 2, 2, std::vector<uint8_t>(4, 3)).Trailer();
  ASSERT_TRUE(LoadDocument(WriteScratchFile("second.gif", second.bytes).c_str()));
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ(0u, doc.frames[0]->dataOffset) << "the swap file is overwritten from its start";
  EXPECT_EQ(2, doc.screenWidth) << "the screen starts again from the new file";
  EXPECT_EQ(1, doc.backgroundIndex);
  EXPECT_EQ(std::vector<uint8_t>(4, 3), FramePixels(0));
  EXPECT_FALSE(headlessUi().progressVisible) << "the progress bar is hidden after a load";
  EXPECT_EQ("", headlessUi().statusText);
  ResetDocument();
}

}  // namespace
