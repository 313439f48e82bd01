# The libraries of the Windows edition: static MinGW-w64 builds from the
# dependency prefix (scripts/build-windows-deps.sh, QUORBIX_WINDOWS_DEPS) and
# the system's own. Everything is linked statically, so that quorbix.exe and
# convert.exe need no DLL but the system's. GLib, Pango and fontconfig are
# not part of it: the Windows drawing code draws text with GDI.
#
# Sets, for the layers of the top folder:
#   QUORBIX_PLATFORM_LIBRARIES  system libraries the platform sources call
#   QUORBIX_IMAGE_LIBRARIES     FreeImage and the image libraries it needs,
#                               and Little CMS
#   QUORBIX_DRAWING_LIBRARIES   cairo, pixman and GDI (with the drawing code)

# The Windows headers without their rarely used parts and without the
# min/max macros that break std::min and std::max.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)

# gdi32 and shell32 are bound on first use rather than loaded at start: most
# runs draw no text and never open the browser, and either library brings in
# the window system with it (under Wine about 40 ms more per start). Their
# delay-import libraries are made from cmake/delay_load/<name>.def, the list
# of the calls the program makes. A call missing there is found in the
# ordinary import library instead and loads the library at start again;
# the test windows_executables_import_only_the_core says so.
function(quorbix_delayed_import_library name)
  set(def ${PROJECT_SOURCE_DIR}/cmake/delay_load/${name}.def)
  set(library ${CMAKE_BINARY_DIR}/delay_load/lib${name}_delayed.a)
  add_custom_command(OUTPUT ${library}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay_load
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --output-delaylib ${library}
    DEPENDS ${def} VERBATIM)
  add_custom_target(quorbix_${name}_delayed_import DEPENDS ${library})
  add_library(quorbix_${name}_delayed INTERFACE)
  target_link_libraries(quorbix_${name}_delayed INTERFACE ${library})
  add_dependencies(quorbix_${name}_delayed quorbix_${name}_delayed_import)
endfunction()
quorbix_delayed_import_library(gdi32)
quorbix_delayed_import_library(shell32)
quorbix_delayed_import_library(bcrypt)

# shell32: ShellExecuteW (browser);
# bcrypt: the SHA-256 digest of written files (only with a run report).
set(QUORBIX_PLATFORM_LIBRARIES quorbix_shell32_delayed quorbix_bcrypt_delayed)

# A static library of the prefix, found by its file name so that a DLL
# import library of the same name is never taken.
function(quorbix_static_library variable file)
  find_library(${variable} NAMES ${file} PATHS ${QUORBIX_WINDOWS_DEPS}/lib NO_DEFAULT_PATH)
  if(NOT ${variable})
    message(FATAL_ERROR "${file} is not in ${QUORBIX_WINDOWS_DEPS}/lib: "
                        "run scripts/build-windows-deps.sh, or give -DQUORBIX_WINDOWS_DEPS=<prefix>")
  endif()
endfunction()

find_path(FREEIMAGE_INCLUDE_DIR FreeImage.h PATHS ${QUORBIX_WINDOWS_DEPS}/include NO_DEFAULT_PATH)
if(NOT FREEIMAGE_INCLUDE_DIR)
  message(FATAL_ERROR "FreeImage.h is not in ${QUORBIX_WINDOWS_DEPS}/include: "
                      "run scripts/build-windows-deps.sh, or give -DQUORBIX_WINDOWS_DEPS=<prefix>")
endif()
quorbix_static_library(FREEIMAGE_LIBRARY libfreeimage.a)
quorbix_static_library(QUORBIX_TIFF_LIBRARY libtiff.a)
quorbix_static_library(QUORBIX_PNG_LIBRARY libpng16.a)
quorbix_static_library(QUORBIX_JPEG_LIBRARY libjpeg.a)
if(NOT ZLIB_LIBRARY)
  set(ZLIB_LIBRARY /usr/x86_64-w64-mingw32/lib/libz.a)
endif()
# Little CMS, which makes the sRGB profile that colour TIFFs carry. Its
# header imports nothing from a DLL unless told to; told not to write the
# C "register" that C++17 refuses (on Linux it is a system header, whose
# warnings the compiler keeps to itself).
quorbix_static_library(QUORBIX_LCMS2_LIBRARY liblcms2.a)
find_path(QUORBIX_LCMS2_INCLUDE_DIR lcms2.h PATHS ${QUORBIX_WINDOWS_DEPS}/include NO_DEFAULT_PATH)
if(NOT QUORBIX_LCMS2_INCLUDE_DIR)
  message(FATAL_ERROR "lcms2.h is not in ${QUORBIX_WINDOWS_DEPS}/include: "
                      "run scripts/build-windows-deps.sh, or give -DQUORBIX_WINDOWS_DEPS=<prefix>")
endif()
add_library(quorbix_windows_colour_library INTERFACE)
target_include_directories(quorbix_windows_colour_library INTERFACE ${QUORBIX_LCMS2_INCLUDE_DIR})
target_compile_definitions(quorbix_windows_colour_library INTERFACE CMS_NO_REGISTER_KEYWORD)
target_link_libraries(quorbix_windows_colour_library INTERFACE ${QUORBIX_LCMS2_LIBRARY})
# In the order the linker needs them: each before the ones it uses.
set(QUORBIX_IMAGE_LIBRARIES ${FREEIMAGE_LIBRARY} ${QUORBIX_TIFF_LIBRARY} ${QUORBIX_PNG_LIBRARY}
    ${QUORBIX_JPEG_LIBRARY} ${ZLIB_LIBRARY} quorbix_windows_colour_library)

# The drawing layer: cairo and pixman, static, from the prefix, and GDI.
quorbix_static_library(QUORBIX_CAIRO_LIBRARY libcairo.a)
quorbix_static_library(QUORBIX_PIXMAN_LIBRARY libpixman-1.a)
find_path(QUORBIX_CAIRO_INCLUDE_DIR cairo.h PATHS ${QUORBIX_WINDOWS_DEPS}/include/cairo
          ${QUORBIX_WINDOWS_DEPS}/include NO_DEFAULT_PATH)
add_library(quorbix_windows_drawing_libraries INTERFACE)
target_include_directories(quorbix_windows_drawing_libraries INTERFACE ${QUORBIX_CAIRO_INCLUDE_DIR})
# cairo's header declares its functions as DLL imports unless told.
target_compile_definitions(quorbix_windows_drawing_libraries INTERFACE CAIRO_WIN32_STATIC_BUILD)
target_link_libraries(quorbix_windows_drawing_libraries INTERFACE
  ${QUORBIX_CAIRO_LIBRARY} ${QUORBIX_PIXMAN_LIBRARY} ${QUORBIX_PNG_LIBRARY} ${ZLIB_LIBRARY}
  quorbix_gdi32_delayed)
set(QUORBIX_DRAWING_LIBRARIES quorbix_windows_drawing_libraries)
