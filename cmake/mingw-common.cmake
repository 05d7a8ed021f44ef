# Cross-compiling for Windows with Debian's MinGW-w64; included by the
# toolchain files after they set CMAKE_SYSTEM_PROCESSOR and
# FRAMBO_MINGW_TRIPLET.
# The -posix compilers: their libstdc++ has std::thread and std::mutex, which
# GoogleTest and our own code may use; winpthread is linked statically along
# with libgcc and libstdc++ (see CMakeLists.txt), so no DLL ships beside the
# executables.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${FRAMBO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FRAMBO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${FRAMBO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FRAMBO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
