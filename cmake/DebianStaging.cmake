# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staging folder that
# `cmake --install` filled, before the Debian package is made from it: adds
# the files only the package holds and compresses what Debian wants
# compressed (gzip -9n: no name, no time stamp, so the same input gives the
# same package).

if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${usr}/${CPACK_QUORBIX_DOCDIR}")
set(from "${CPACK_QUORBIX_DEB_FILES}")
set(readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

function(quorbix_gzip file)
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip failed on ${file}")
  endif()
endfunction()

# CPack has stripped the programs; like dh_strip, drop the sections that
# only say which compiler made them.
file(GLOB programs LIST_DIRECTORIES false "${usr}/lib/quorbix/*")
foreach(program IN LISTS programs)
  if(NOT IS_SYMLINK "${program}")
    execute_process(COMMAND "${CPACK_QUORBIX_STRIP}" --remove-section=.comment
      --remove-section=.note "${program}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "strip failed on ${program}")
    endif()
  endif()
endforeach()

# Every manual page, whoever installed it.
file(GLOB_RECURSE pages LIST_DIRECTORIES false "${usr}/${CPACK_QUORBIX_MANDIR}/*")
foreach(page IN LISTS pages)
  if(NOT page MATCHES "\\.gz$" AND NOT IS_SYMLINK "${page}")
    quorbix_gzip("${page}")
  endif()
endforeach()

# Documents above 4 KiB, except the copyright file, which stays plain.
file(GLOB docs LIST_DIRECTORIES false "${doc}/*")
foreach(file IN LISTS docs)
  file(SIZE "${file}" size)
  if(size GREATER 4096 AND NOT file MATCHES "\\.gz$")
    quorbix_gzip("${file}")
  endif()
endforeach()

file(MAKE_DIRECTORY "${doc}")
file(COPY "${from}/copyright" DESTINATION "${doc}" FILE_PERMISSIONS ${readable})
file(COPY "${from}/changelog" DESTINATION "${CPACK_TOPLEVEL_DIRECTORY}" FILE_PERMISSIONS ${readable})
file(RENAME "${CPACK_TOPLEVEL_DIRECTORY}/changelog" "${doc}/changelog.Debian")
quorbix_gzip("${doc}/changelog.Debian")

set(overrides "${usr}/share/lintian/overrides")
file(MAKE_DIRECTORY "${overrides}")
file(COPY "${from}/lintian-overrides" DESTINATION "${overrides}" FILE_PERMISSIONS ${readable})
file(RENAME "${overrides}/lintian-overrides" "${overrides}/quorbix")
