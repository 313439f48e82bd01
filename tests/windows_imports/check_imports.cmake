# The executables of the Windows edition load only the system's core at
# start: KERNEL32 and the C runtime. Everything else (GDI, the shell) is
# bound on first use, and a library loaded at start would cost every run, and
# under Wine every converter started, its loading time. Each carries its
# manifest (cmake/WindowsManifest.cmake), long-path aware.
#   cmake -DOBJDUMP=<objdump> -DEXECUTABLES="<a.exe>;<b.exe>" -P check_imports.cmake
cmake_minimum_required(VERSION 3.16)
set(allowed KERNEL32.dll msvcrt.dll)
foreach(executable IN LISTS EXECUTABLES)
  execute_process(COMMAND ${OBJDUMP} -p ${executable} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} cannot read ${executable}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
  if(NOT names)
    message(FATAL_ERROR "${executable}: no imports found; is it a Windows executable?")
  endif()
  foreach(line IN LISTS names)
    string(REPLACE "DLL Name: " "" name "${line}")
    if(NOT name IN_LIST allowed)
      message(FATAL_ERROR "${executable} loads ${name} at start; only ${allowed} may be loaded then")
    endif()
  endforeach()
  file(STRINGS ${executable} aware REGEX "<longPathAware[^>]*>true</longPathAware>")
  if(NOT aware)
    message(FATAL_ERROR "${executable} carries no long-path aware manifest")
  endif()
  message(STATUS "${executable}: ${names}")
endforeach()
