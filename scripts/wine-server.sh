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
#                                  for it), then starts one that stays
#   scripts/wine-server.sh stop    ends the server of $WINEPREFIX and waits
#
# Start only while no program of the prefix runs: a running program would
# lose its server. WINESERVER names the server program (default: wineserver
# on PATH, else Debian's /usr/lib/wine/wineserver64).
set -u
: "${WINEPREFIX:?wine-server.sh: WINEPREFIX names the prefix}"
server=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver64)}

stop() {
  # -k returns once the server is gone; -w waits for one that was already
  # exiting. Neither fails when no server runs.
  "$server" -k >/dev/null 2>&1
  "$server" -w >/dev/null 2>&1
  return 0
}

case ${1:-} in
  start)
    stop
    # -p without a number: no exit timer. It returns once the server listens.
    if ! "$server" -p >/dev/null 2>&1; then
      echo "wine-server.sh: could not start a Wine server for $WINEPREFIX" >&2
      exit 1
    fi
    ;;
  stop) stop ;;
  *)
    echo "usage: wine-server.sh start|stop   (WINEPREFIX names the prefix)" >&2
    exit 2
    ;;
esac
