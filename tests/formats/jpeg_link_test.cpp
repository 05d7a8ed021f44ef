// Link check for libjpeg: the build's headers and library agree. A
// header/library mismatch shows up as libjpeg's "wrong structure size" or
// "wrong library version" error, trapped here instead of exiting.
#include <csetjmp>
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

// libjpeg's message, or what went wrong around it; empty when all went well.
// Nothing with a destructor lives in this frame, so longjmp may leave it.
const char* CreateAndDestroyDecompress(ErrorTrap& trap, jpeg_decompress_struct& info) {
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = TrapError;
  if (setjmp(trap.jump)) return trap.message;
  jpeg_create_decompress(&info);
  if (info.err != &trap.manager) return "expected our error manager kept, got it replaced";
  if (info.mem == nullptr) return "expected a memory manager after create, got none";
  jpeg_destroy_decompress(&info);
  if (info.mem != nullptr) return "expected no memory manager after destroy, got one";
  return "";
}

}  // namespace

TEST(JpegLink, DecompressObjectCreatedAndDestroyedByTheLinkedLibrary) {
  ErrorTrap trap{};
  jpeg_decompress_struct info{};
  std::string failure = CreateAndDestroyDecompress(trap, info);
  EXPECT_EQ(failure, "") << "expected the life cycle to pass, got \"" << failure << "\"";
}
