# The libraries of the Windows edition: static MinGW-w64 builds from the
# dependency prefix (scripts/build-windows-deps.sh, QUORBIX_WINDOWS_DEPS) and
# the system's own. Everything is linked statically, so that quorbix.exe and
# convert.exe need no DLL but the system's. GLib, Pango and fontconfig are
# not part of it: the Windows drawing code draws text with GDI.
#
# Sets, for the layers of the top folder:
#   QUORBIX_PLATFORM_LIBRARIES  system libraries the platform sources call
#   QUORBIX_IMAGE_LIBRARIES     FreeImage and the image libraries it needs
#   QUORBIX_DRAWING_LIBRARIES   cairo, pixman and GDI (with the drawing code)

# The Windows headers without their rarely used parts and without the
# min/max macros that break std::min and std::max.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)

# shell32: CommandLineToArgvW (program arguments), ShellExecuteW (browser).
set(QUORBIX_PLATFORM_LIBRARIES shell32)

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
# In the order the linker needs them: each before the ones it uses.
set(QUORBIX_IMAGE_LIBRARIES ${FREEIMAGE_LIBRARY} ${QUORBIX_TIFF_LIBRARY} ${QUORBIX_PNG_LIBRARY}
    ${QUORBIX_JPEG_LIBRARY} ${ZLIB_LIBRARY})

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
  gdi32)
set(QUORBIX_DRAWING_LIBRARIES quorbix_windows_drawing_libraries)
