// Link check for libjpeg: the build's headers and library agree and offer the
// 6.2 interface (JPEG_LIB_VERSION 62) that the JPEG importer is written for.
// A header/library mismatch shows up as libjpeg's "wrong structure size" or
// "wrong library version" error, trapped here instead of exiting.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace {

// The error manager comes first so that libjpeg's pointer to it is also a
// pointer to the trap.
struct ErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void TrapError(j_common_ptr info) {
  ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(info->err);
  trap->manager.format_message(info, trap->message);
  std::longjmp(trap->jump, 1);
}

struct LifeCycle {
  std::string error;  // libjpeg's message, empty when nothing failed
  bool errorManagerKept = false;
  bool memoryWhileAlive = false;
  bool memoryAfterDestroy = true;
};

// Nothing with a destructor lives in this frame, so longjmp may leave it.
void CreateAndDestroyDecompress(ErrorTrap& trap, jpeg_decompress_struct& info,
                                LifeCycle& result) {
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = TrapError;
  if (setjmp(trap.jump)) {
    result.error = trap.message;
    return;
  }
  jpeg_create_decompress(&info);
  result.errorManagerKept = info.err == &trap.manager;
  result.memoryWhileAlive = info.mem != nullptr;
  jpeg_destroy_decompress(&info);
  result.memoryAfterDestroy = info.mem != nullptr;
}

}  // namespace

TEST(JpegLink, HeadersDeclareTheSixTwoInterface) {
  EXPECT_EQ(JPEG_LIB_VERSION, 62)
      << "expected JPEG_LIB_VERSION 62, got " << JPEG_LIB_VERSION;
}

TEST(JpegLink, DecompressObjectCreatedAndDestroyedByTheLinkedLibrary) {
  ErrorTrap trap{};
  jpeg_decompress_struct info{};
  LifeCycle result;
  CreateAndDestroyDecompress(trap, info, result);

  EXPECT_EQ(result.error, "") << "expected no libjpeg error, got \"" << result.error << "\"";
  EXPECT_TRUE(result.errorManagerKept) << "expected our error manager kept, got it replaced";
  EXPECT_TRUE(result.memoryWhileAlive) << "expected a memory manager after create, got none";
  EXPECT_FALSE(result.memoryAfterDestroy) << "expected no memory manager after destroy, got one";
}
