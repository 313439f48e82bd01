#!/bin/sh
# One Wine server for a whole series of Windows programs.
#
# A Wine prefix's server exits a while after its last program ends; a program
# that connects while it is on its way out fails with "wine client error:0:
# recvmsg: Connection reset by peer". Whoever runs programs in a row (the
# tests, the end-to-end checks, the benchmark, the library checks) starts one
# server first that never exits by itself, and stops it at the end.
#
#   scripts/wine-server.sh start   ends any server of $WINEPREFIX (and waits
#                                  for it), then starts one that stays, with
#                                  the prefix's services
#   scripts/wine-server.sh stop    ends the server of $WINEPREFIX and waits
#   scripts/wine-server.sh ensure  starts a server with its services unless
#                                  one runs; it ends a minute after the last
#                                  program (for programs run one by one)
#
# The services (services.exe, winedevice.exe, ...) are started by the first
# program of a server and live as long as it; they keep that program's
# standard streams. Started here, they hold /dev/null, not the pipe of a
# test whose reader would then wait for them to end.
#
# Start only while no program of the prefix runs: a running program would
# lose its server. WINESERVER names the server program (default: wineserver
# on PATH, else Debian's /usr/lib/wine/wineserver64), WINE the loader
# (default: wine64 or wine on PATH, else /usr/lib/wine/wine64).
set -u
: "${WINEPREFIX:?wine-server.sh: WINEPREFIX names the prefix}"
server=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver64)}
wine=${WINE:-$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)}

stop() {
  # -k returns once the server is gone; -w waits for one that was already
  # exiting. Neither fails when no server runs.
  "$server" -k >/dev/null 2>&1
  "$server" -w >/dev/null 2>&1
  return 0
}

# wineboot starts the services and returns once they run.
start_services() { "$wine" wineboot </dev/null >/dev/null 2>&1; }

case ${1:-} in
  start)
    stop
    # -p without a number: no exit timer. It returns once the server listens.
    if ! "$server" -p >/dev/null 2>&1; then
      echo "wine-server.sh: could not start a Wine server for $WINEPREFIX" >&2
      exit 1
    fi
    start_services
    ;;
  stop) stop ;;
  ensure)
    # Status 0: a new server was started; 2: one runs already.
    if "$server" -p60 >/dev/null 2>&1; then start_services; fi
    ;;
  *)
    echo "usage: wine-server.sh start|stop|ensure   (WINEPREFIX names the prefix)" >&2
    exit 2
    ;;
esac
