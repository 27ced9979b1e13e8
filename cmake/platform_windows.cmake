# The 64-bit Windows build (configured with cmake/mingw-w64-x86_64.cmake): the
# real Windows headers and system libraries in place of platform/win32, a
# runtime linked statically so that every program and deliverable imports
# system DLLs only, and the compiled libraries the tree uses built here from
# their Debian sources. Its programs run under Wine.
enable_language(C)
add_link_options(-static)
# <windows.h> without its min and max macros.
add_compile_definitions(NOMINMAX)

set(QF_DEPS_DIR ${CMAKE_SOURCE_DIR}/build-deps/src CACHE PATH
  "Unpacked Debian source packages (scripts/setup.sh fetches them)")
set(QF_WINE /usr/lib/wine/wine64 CACHE FILEPATH "Wine's 64-bit loader")
set(QF_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${QF_WINEPREFIX})

# Third-party libraries as targets of this build. find_package() of each then
# finds a config file that only reports it found, so that the tree's own
# find_package() calls stay as the native build has them.
set(CMAKE_FIND_PACKAGE_PREFER_CONFIG ON)
set(qf_packages ${CMAKE_BINARY_DIR}/qf-packages)
function(qf_provide_package name)
  file(WRITE ${qf_packages}/${name}/${name}Config.cmake "set(${name}_FOUND TRUE)\n")
  set(${name}_DIR ${qf_packages}/${name} CACHE PATH "" FORCE)
endfunction()

function(qf_require_source dir)
  if(NOT EXISTS ${dir})
    message(FATAL_ERROR "${dir} is missing: scripts/setup.sh fetches the Debian sources")
  endif()
endfunction()

# zlib: Debian's libz-mingw-w64-dev.
find_library(QF_ZLIB NAMES libz.a z REQUIRED)

# libpng, compiled from Debian's source package.
set(qf_png ${QF_DEPS_DIR}/libpng1.6)
qf_require_source(${qf_png}/png.c)
configure_file(${qf_png}/scripts/pnglibconf.h.prebuilt ${CMAKE_BINARY_DIR}/libpng/pnglibconf.h COPYONLY)
add_library(qf_libpng STATIC
  ${qf_png}/png.c ${qf_png}/pngerror.c ${qf_png}/pngget.c ${qf_png}/pngmem.c
  ${qf_png}/pngpread.c ${qf_png}/pngread.c ${qf_png}/pngrio.c ${qf_png}/pngrtran.c
  ${qf_png}/pngrutil.c ${qf_png}/pngset.c ${qf_png}/pngtrans.c ${qf_png}/pngwio.c
  ${qf_png}/pngwrite.c ${qf_png}/pngwtran.c ${qf_png}/pngwutil.c)
target_include_directories(qf_libpng SYSTEM PUBLIC ${qf_png} ${CMAKE_BINARY_DIR}/libpng)
target_compile_options(qf_libpng PRIVATE -w)
target_link_libraries(qf_libpng PUBLIC ${QF_ZLIB})
add_library(PNG::PNG ALIAS qf_libpng)
qf_provide_package(PNG)

# pugixml, compiled from Debian's source package, under the names its own
# CMake package gives.
set(qf_pugixml ${QF_DEPS_DIR}/pugixml)
qf_require_source(${qf_pugixml}/src/pugixml.cpp)
add_library(qf_pugixml STATIC ${qf_pugixml}/src/pugixml.cpp)
target_include_directories(qf_pugixml SYSTEM PUBLIC ${qf_pugixml}/src)
target_compile_options(qf_pugixml PRIVATE -w)
add_library(pugixml::pugixml ALIAS qf_pugixml)
add_library(pugixml::static ALIAS qf_pugixml)
add_library(pugixml ALIAS qf_pugixml)
qf_provide_package(pugixml)

# GoogleTest, compiled from Debian's googletest source package.
set(qf_gtest /usr/src/googletest/googletest)
qf_require_source(${qf_gtest}/CMakeLists.txt)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${qf_gtest} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
qf_provide_package(GTest)

# CLI11: header-only, used as Debian's libcli11-dev installs it. Its folder is
# linked into an include root of its own, so the toolchain never sees the rest
# of the build machine's /usr/include.
find_path(QF_CLI11_HEADERS CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/cli11-include)
file(CREATE_LINK ${QF_CLI11_HEADERS}/CLI ${CMAKE_BINARY_DIR}/cli11-include/CLI SYMBOLIC)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/cli11-include)
qf_provide_package(CLI11)
