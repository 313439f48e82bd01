# The test programs of the Windows edition, cross-built and run under Wine by
# CTest (`ctest --test-dir build-windows`, or scripts/build-windows.sh --test).
#
# Test folders built for Windows:
#   base, settings, pcd, image, ops, draw, convert, app
# Left out, with the reason:
#   cli, e2e, e2e_ops, e2e_draw  start quorbix as a Linux process
#                                (support/program_runner: fork, exec, signals,
#                                pseudo-terminals); the Windows edition's own
#                                end-to-end tests run quorbix.exe under Wine
#   job                          its runs use support/fake_converter, a shell
#                                script standing in for `convert`, and POSIX
#                                file modes
#   docs                         the manual page, the bash completion and the
#                                install rules are the Linux edition's
#   platform_windows             not a GoogleTest program (the test windows_platform_check)
# Folders named <name>_windows with *_test.cpp files are the Windows
# edition's own tests: built here, never in the Linux build.
set(QUORBIX_WINDOWS_TEST_DIRS base settings pcd image ops draw convert app)

# Single test files left out of those folders, with the reason:
set(here ${CMAKE_CURRENT_SOURCE_DIR})
set(QUORBIX_LEFT_OUT_TEST_SOURCES
  # Run the built programs through a POSIX shell (std::system with "2>/dev/null",
  # waitpid status macros) or support/program_runner.
  ${here}/pcd/convert_program_test.cpp
  ${here}/pcd/pipeline_e2e_test.cpp
  # Named pipes, /dev/zero and unreadable files made with chmod.
  ${here}/settings/profile_reader_test.cpp
  # Shell scripts as converters.
  ${here}/convert/process_test.cpp
  # Unwritable folders made with chmod (geteuid, POSIX file modes).
  ${here}/convert/convert_file_test.cpp
  # The helpers that start and watch Linux processes, and the shell-script
  # converter.
  ${here}/support/program_runner.cpp
  ${here}/support/pty_runner.cpp
  ${here}/support/fake_converter.cpp)

# Wine runs every test program (and lists its tests) through this script: a
# Wine prefix of its own in the build folder, made once, with no window and
# no Mono or Gecko installer; the programs run in the build folder.
find_program(QUORBIX_WINE_PROGRAM NAMES wine64 wine PATHS /usr/lib/wine)
if(NOT QUORBIX_WINE_PROGRAM)
  message(WARNING "Wine is missing (scripts/setup.sh --windows): the tests build but cannot run")
  set(QUORBIX_WINE_PROGRAM wine64)
endif()
find_program(QUORBIX_WINESERVER NAMES wineserver PATHS /usr/lib/wine)
if(NOT QUORBIX_WINESERVER)
  set(QUORBIX_WINESERVER wineserver)
endif()
set(QUORBIX_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)
file(WRITE ${QUORBIX_WINE_RUN} "#!/bin/sh
# Runs a Windows program under Wine in the build folder's own Wine prefix.
#   wine-run.sh PROGRAM [ARGUMENT...]
#   wine-run.sh --start-server | --stop-server   (a test run's one server)
export WINEPREFIX='${CMAKE_BINARY_DIR}/wineprefix' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY=
export WINESERVER='${QUORBIX_WINESERVER}' WINE='${QUORBIX_WINE_PROGRAM}'
server_script='${CMAKE_SOURCE_DIR}/scripts/wine-server.sh'
[ \"\$1\" = --stop-server ] && exec sh \"\$server_script\" stop
if [ ! -d \"\$WINEPREFIX/drive_c\" ]; then
  # One maker at a time; the others wait for it.
  mkdir -p \"\$WINEPREFIX\"
  (
    flock 9
    [ -d \"\$WINEPREFIX/drive_c\" ] || {
      '${QUORBIX_WINE_PROGRAM}' wineboot --init >/dev/null 2>&1
      sh \"\$server_script\" stop
    }
  ) 9>\"\$WINEPREFIX.lock\"
fi
[ \"\$1\" = --start-server ] && exec sh \"\$server_script\" start
# Outside a test run (CTest listing the tests, a program run by hand) a
# server is kept for a minute after the last program, so that programs run
# in quick succession share one; a test run has its own (the fixture
# quorbix_wine). With a server already running this does nothing.
sh \"\$server_script\" ensure
exec '${QUORBIX_WINE_PROGRAM}' \"\$@\"
")
file(CHMOD ${QUORBIX_WINE_RUN} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Every test that runs a Windows program needs the fixture quorbix_wine: one
# Wine server started before the first of them and ended after the last,
# whether they passed or not. A server that exits on a timer can be on its
# way out just when the next program connects, and that program then fails
# before it runs ("recvmsg: Connection reset by peer").
add_test(NAME wine_server_start COMMAND ${QUORBIX_WINE_RUN} --start-server)
add_test(NAME wine_server_stop COMMAND ${QUORBIX_WINE_RUN} --stop-server)
set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP quorbix_wine)
set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP quorbix_wine)

# Lists a test program's tests when CTest starts (not at build time, so the
# build needs no Wine) and runs each under Wine.
function(quorbix_windows_test target)
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR ${QUORBIX_WINE_RUN})
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300 FIXTURES_REQUIRED quorbix_wine)
endfunction()
