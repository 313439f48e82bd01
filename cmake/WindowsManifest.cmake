# The manifest of a Windows executable (cmake/windows/program.manifest.in),
# built in as its resource 1 of type 24 (RT_MANIFEST) through a resource
# script of one line.
#   quorbix_windows_manifest(<target> <name> <description>)
enable_language(RC)
function(quorbix_windows_manifest target name description)
  set(QUORBIX_MANIFEST_NAME ${name})
  set(QUORBIX_MANIFEST_DESCRIPTION ${description})
  set(manifest ${CMAKE_BINARY_DIR}/manifests/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.manifest.in ${manifest} @ONLY)
  file(WRITE ${CMAKE_BINARY_DIR}/manifests/${target}.rc "1 24 \"${manifest}\"\n")
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/manifests/${target}.rc)
  set_source_files_properties(${CMAKE_BINARY_DIR}/manifests/${target}.rc PROPERTIES OBJECT_DEPENDS ${manifest})
endfunction()
