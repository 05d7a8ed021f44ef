# libjpeg with the 6.2 interface (JPEG_LIB_VERSION 62) as the target
# frambo_jpeg. Natively it is the system's libjpeg62-turbo; for Windows it is
# Debian's libjpeg-turbo source, which scripts/setup unpacks into
# build/deps/libjpeg-turbo, cross-built here as a static library.

if(NOT FRAMBO_CROSS_WINDOWS)
  find_package(JPEG REQUIRED)
  add_library(frambo_jpeg INTERFACE)
  target_link_libraries(frambo_jpeg INTERFACE JPEG::JPEG)
  return()
endif()

set(FRAMBO_JPEG_SOURCE_DIR "${CMAKE_SOURCE_DIR}/build/deps/libjpeg-turbo"
  CACHE PATH "Unpacked libjpeg-turbo source for the Windows build")
if(NOT EXISTS "${FRAMBO_JPEG_SOURCE_DIR}/CMakeLists.txt")
  message(FATAL_ERROR
    "No libjpeg-turbo source in ${FRAMBO_JPEG_SOURCE_DIR}: run scripts/setup first.")
endif()

include(ExternalProject)
set(frambo_jpeg_prefix "${CMAKE_BINARY_DIR}/libjpeg")
set(frambo_jpeg_library "${frambo_jpeg_prefix}/lib/libjpeg.a")
set(frambo_jpeg_include "${frambo_jpeg_prefix}/include")
get_filename_component(frambo_toolchain "${CMAKE_TOOLCHAIN_FILE}" ABSOLUTE
  BASE_DIR "${CMAKE_BINARY_DIR}")

# Only the static library is built (no tools, no TurboJPEG, no SIMD: no nasm
# needed); jconfig.h comes from the build, the other headers from the source.
ExternalProject_Add(frambo_jpeg_build
  SOURCE_DIR "${FRAMBO_JPEG_SOURCE_DIR}"
  BINARY_DIR "${frambo_jpeg_prefix}/build"
  PREFIX "${frambo_jpeg_prefix}"
  CMAKE_ARGS
    "-DCMAKE_TOOLCHAIN_FILE=${frambo_toolchain}"
    -DCMAKE_BUILD_TYPE=Release
    # Its Windows default is a C: path, which a cross build cannot use.
    "-DCMAKE_INSTALL_PREFIX=${frambo_jpeg_prefix}"
    -DENABLE_SHARED=OFF
    -DENABLE_STATIC=ON
    -DWITH_SIMD=OFF
    -DWITH_TURBOJPEG=OFF
    -DWITH_JAVA=OFF
    -DWITH_JPEG7=OFF
    -DWITH_JPEG8=OFF
    -DWITH_12BIT=OFF
  BUILD_COMMAND "${CMAKE_COMMAND}" --build <BINARY_DIR> --target jpeg-static -j 2
  INSTALL_COMMAND
    "${CMAKE_COMMAND}" -E make_directory "${frambo_jpeg_prefix}/lib" "${frambo_jpeg_include}"
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different <BINARY_DIR>/libjpeg.a "${frambo_jpeg_library}"
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different <BINARY_DIR>/jconfig.h "${frambo_jpeg_include}/"
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different
      <SOURCE_DIR>/jpeglib.h <SOURCE_DIR>/jmorecfg.h <SOURCE_DIR>/jerror.h "${frambo_jpeg_include}/"
  BUILD_BYPRODUCTS "${frambo_jpeg_library}"
  LOG_CONFIGURE ON
  LOG_BUILD ON
  LOG_OUTPUT_ON_FAILURE ON)

# Imported targets must name include directories that exist when CMake
# generates, before the library is built.
file(MAKE_DIRECTORY "${frambo_jpeg_include}")

add_library(frambo_jpeg_static STATIC IMPORTED GLOBAL)
set_target_properties(frambo_jpeg_static PROPERTIES
  IMPORTED_LOCATION "${frambo_jpeg_library}"
  INTERFACE_INCLUDE_DIRECTORIES "${frambo_jpeg_include}")

add_library(frambo_jpeg INTERFACE)
target_link_libraries(frambo_jpeg INTERFACE frambo_jpeg_static)
add_dependencies(frambo_jpeg frambo_jpeg_build)
