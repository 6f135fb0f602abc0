# The picture decoder (portable: built natively for tests and fuzzing, and
# for Windows) and, for Windows, LoadPicture on top of it.
#
# libpng: natively Debian's libpng-dev; for Windows the static build that
# scripts/setup.d/10-libpng-mingw puts into <build folder>/deps/mingw.
if(CMAKE_CROSSCOMPILING)
  if(DEFINED ENV{KORVANE_BUILD})
    set(_korvane_deps_default $ENV{KORVANE_BUILD}/deps/mingw)
  elseif(EXISTS ${CMAKE_BINARY_DIR}/../deps/mingw/lib/libpng16.a)
    get_filename_component(_korvane_deps_default ${CMAKE_BINARY_DIR}/../deps/mingw ABSOLUTE)
  else()
    set(_korvane_deps_default ${PROJECT_SOURCE_DIR}/build/deps/mingw)
  endif()
  set(KORVANE_MINGW_DEPS ${_korvane_deps_default} CACHE PATH
      "Folder holding the MinGW-w64 static libpng (include/, lib/libpng16.a)")
  # The toolchain's find root is /usr/<triple>: look in these folders as they are.
  find_path(KORVANE_PNG_INCLUDE_DIR png.h PATHS ${KORVANE_MINGW_DEPS}/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(KORVANE_PNG_LIBRARY NAMES libpng16.a PATHS ${KORVANE_MINGW_DEPS}/lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(KORVANE_MINGW_ZLIB NAMES libz.a PATHS /usr/${KORVANE_MINGW_TRIPLE}/lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT KORVANE_PNG_INCLUDE_DIR OR NOT KORVANE_PNG_LIBRARY OR NOT KORVANE_MINGW_ZLIB)
    message(FATAL_ERROR "No MinGW-w64 libpng in ${KORVANE_MINGW_DEPS} (or no libz.a): "
                        "run scripts/setup with the same KORVANE_BUILD")
  endif()
  add_library(korvane_png STATIC IMPORTED)
  set_target_properties(korvane_png PROPERTIES
    IMPORTED_LOCATION ${KORVANE_PNG_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${KORVANE_PNG_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES ${KORVANE_MINGW_ZLIB})
  set(KORVANE_PNG_TARGET korvane_png)
else()
  find_package(PNG REQUIRED)
  set(KORVANE_PNG_TARGET PNG::PNG)
endif()

add_library(korvane_picture_decoder STATIC ${CMAKE_CURRENT_LIST_DIR}/picture_decoder.cpp)
target_include_directories(korvane_picture_decoder PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(korvane_picture_decoder PUBLIC ${KORVANE_PNG_TARGET})

if(WIN32)
  add_library(korvane_picture STATIC ${CMAKE_CURRENT_LIST_DIR}/picture.cpp)
  target_link_libraries(korvane_picture PUBLIC korvane_picture_decoder korvane_gdi_count gdi32 user32)
endif()
