# 32-bit Windows: build/windows32, compile only.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(FRAMBO_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
