# 64-bit Windows: build/windows, whose tests run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(FRAMBO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
