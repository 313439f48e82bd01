#!/usr/bin/env bash
# End-to-end checks of the Windows edition: quorbix.exe and convert.exe are
# copied into a fresh folder and run under Wine as a user would run them,
# and what they print and write is compared with the Linux edition's run on
# the same inputs (the oracle).
#
#   tests/windows_e2e/run.sh <windows-build-folder> [<linux-build-folder>]
#   tests/windows_e2e/run.sh --stand-in [<linux-build-folder>]
#
# The Linux build folder (default: build/ of this source tree) must hold
# quorbix, convert and make-sample-pcd. --stand-in runs the Linux edition in
# the place of quorbix.exe (paths stay Linux paths, its output is turned into
# UTF-16LE with CR LF as the Windows edition would print it): it checks this
# script, not the Windows edition.
#
# Prints one "ok - ..." or "FAIL - ..." line per check ("# ..." lines are
# notes). Exit status: 0 every check passed, 1 a check failed, 77 skipped (a
# prerequisite is missing; the reason is printed).
# Wine runs in a private prefix, <windows-build-folder>/wineprefix-e2e, made
# once; no window, no Mono or Gecko dialogues.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

skip() { echo "SKIP - $*"; exit 77; }

mode=wine
if [[ ${1:-} == --stand-in ]]; then
  mode=stand-in
  shift
  linux_build=${1:-$source_dir/build}
else
  [[ $# -ge 1 ]] || { echo "usage: $0 <windows-build-folder> [<linux-build-folder>] | --stand-in [<linux-build-folder>]" >&2; exit 2; }
  windows_build=$1
  linux_build=${2:-$source_dir/build}
fi

for tool in tifftopnm pamtopnm pnmtopng iconv cmp; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/setup.sh installs netpbm)"
done
for program in quorbix convert make-sample-pcd; do
  [[ -x $linux_build/$program ]] || skip "the Linux edition's $program is not built in $linux_build"
done
linux_build=$(cd "$linux_build" && pwd)

if [[ $mode == wine ]]; then
  [[ -d $windows_build ]] || skip "no Windows build folder $windows_build"
  windows_build=$(cd "$windows_build" && pwd)
  # The executables lie in the build folder or in its bin/.
  exe_folder=$windows_build
  [[ ! -f $exe_folder/quorbix.exe && -f $windows_build/bin/quorbix.exe ]] && exe_folder=$windows_build/bin
  for program in quorbix.exe convert.exe; do
    [[ -f $exe_folder/$program ]] || skip "$exe_folder/$program is not built"
  done
  wine=$(command -v wine64 || command -v wine || true)
  [[ -z $wine && -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64
  [[ -n $wine ]] || skip "wine64 is missing (scripts/setup.sh --windows installs it)"
  export WINEPREFIX="$windows_build/wineprefix-e2e" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
  # A UTF-8 locale, as a user's desktop has: Wine turns the arguments and
  # the file names from and to UTF-8 by it.
  export LC_ALL=C.UTF-8
  if [[ ! -d $WINEPREFIX/drive_c ]]; then
    echo "# making the Wine prefix $WINEPREFIX"
    # One maker at a time (the benchmark uses the same prefix).
    (flock 9 && { [[ -d $WINEPREFIX/drive_c ]] || "$wine" wineboot --init >/dev/null 2>&1; }) 9>"$WINEPREFIX.lock" || true
  fi
  [[ -d $WINEPREFIX/drive_c ]] || skip "wineboot could not make the prefix $WINEPREFIX"
  # One Wine server for all the runs, ended when the checks end: a program
  # that connects to a server on its way out fails.
  wine_server="$source_dir/scripts/wine-server.sh"
  bash "$wine_server" start || skip "no Wine server could be started for $WINEPREFIX"
  [[ $(readlink "$WINEPREFIX/dosdevices/z:") == / ]] || skip "the prefix $WINEPREFIX has no drive Z: for /"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quorbix-windows-e2e.XXXXXX")
# What the Windows edition's temporary folder (GetTempPathW: the prefix
# user's Temp) holds before the runs; they must leave nothing more there.
windows_temp() {
  if [[ $mode == wine ]]; then
    find "$WINEPREFIX/drive_c/users" -path '*/Temp/*' 2>/dev/null | sort
  else
    find "$work/tmp-linux" -mindepth 1 2>/dev/null | sort
  fi
}
temp_before=$(windows_temp)
cleanup() {
  [[ -n ${first_pid:-} ]] && kill "$first_pid" 2>/dev/null
  [[ -n ${wine_server:-} ]] && bash "$wine_server" stop
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
checks=0
ok() { checks=$((checks + 1)); echo "ok - $1"; }
fail() {
  checks=$((checks + 1)); failures=$((failures + 1))
  echo "FAIL - $1"
  shift
  local detail
  for detail in "$@"; do printf '#   %s\n' "$detail"; done
}
note() { echo "# $*"; }

# --- the two editions ---------------------------------------------------------

# The edition under test, from a fresh folder of its own.
app="$work/app"
mkdir -p "$app" "$work/lin" "$work/win" "$work/in" "$work/run-linux" "$work/tmp-linux"
if [[ $mode == wine ]]; then
  cp "$exe_folder/quorbix.exe" "$exe_folder/convert.exe" "$app/"
else
  cp "$linux_build/quorbix" "$linux_build/convert" "$app/"
fi

# The path the edition under test is given for a Linux path: on Wine's
# drive Z: (which is /) with backslashes.
winpath() {
  if [[ $mode == wine ]]; then
    local p=${1//\//\\}
    printf 'Z:%s' "$p"
  else
    printf '%s' "$1"
  fi
}

# Console lines as the Windows edition writes them to a file: UTF-16LE code
# units, no byte-order mark, CR LF.
to_utf16() { awk '{ printf "%s\r\n", $0 }' | iconv -f UTF-8 -t UTF-16LE; }

# runs the Linux edition (the oracle): run_linux <name> args...
# leaves <name>.out, <name>.err and <name>.status under $work/lin/.
run_linux() {
  local name=$1
  shift
  (cd "$work" && XDG_RUNTIME_DIR="$work/run-linux" TMPDIR="$work/tmp-linux" \
     "$linux_build/quorbix" "$@" >"$work/lin/$name.out" 2>"$work/lin/$name.err" </dev/null)
  echo $? >"$work/lin/$name.status"
}

# runs the edition under test: run_windows <name> args... leaves
# <name>.bin (standard output as written), <name>.err.bin, <name>.status and
# <name>.out (standard output decoded to UTF-8, CR LF made LF) under $work/win/.
run_windows() {
  local name=$1
  shift
  start_windows "$name" "$@"
  wait "$started_pid"
  finish_windows "$name" $?
}
start_windows() {
  local name=$1
  shift
  if [[ $mode == wine ]]; then
    (cd "$work" && exec "$wine" "$app/quorbix.exe" "$@" >"$work/win/$name.bin" 2>"$work/win/$name.err.bin" </dev/null) &
  else
    (cd "$work" && XDG_RUNTIME_DIR="$work/run-linux" TMPDIR="$work/tmp-linux" \
       "$app/quorbix" "$@" >"$work/win/$name.lf" 2>"$work/win/$name.err.lf" </dev/null
     status=$?
     to_utf16 <"$work/win/$name.lf" >"$work/win/$name.bin"
     to_utf16 <"$work/win/$name.err.lf" >"$work/win/$name.err.bin"
     exit $status) &
  fi
  started_pid=$!
}
finish_windows() {
  local name=$1 status=$2
  echo "$status" >"$work/win/$name.status"
  iconv -f UTF-16LE -t UTF-8 <"$work/win/$name.bin" 2>/dev/null | sed 's/\r$//' >"$work/win/$name.out"
}

# The Linux edition's lines as the Windows edition must print them: the paths
# that end a line (after "Processing: ", "Saving As: ", "Input: ", ...) name
# $work/win/ where the Linux run named $work/lin/, in the Windows form.
windows_lines() {
  local line path
  while IFS= read -r line; do
    if [[ $line == *"$work"* ]]; then
      path=${line#*"$work"}
      [[ $path == /lin || $path == /lin/* ]] && path=/win${path#/lin}
      path=$work$path
      line="${line%%"$work"*}$(winpath "$path")"
    fi
    printf '%s\n' "$line"
  done
}

# check_same_output <check> <name>: the edition under test printed exactly
# the oracle's lines (as UTF-16LE with CR LF, no byte-order mark), nothing on
# standard error, and ended with the oracle's exit status.
check_same_output() {
  local check=$1 name=$2
  local expected="$work/win/$name.expected"
  windows_lines <"$work/lin/$name.out" >"$expected"
  local problems=()
  if ! cmp -s "$work/win/$name.bin" <(to_utf16 <"$expected"); then
    if [[ $(head -c 2 "$work/win/$name.bin" | od -An -tx1 | tr -d ' ') == fffe ]]; then
      problems+=("standard output begins with a byte-order mark")
    fi
    if ! cmp -s "$work/win/$name.out" "$expected"; then
      problems+=("standard output differs from the Linux edition's (expected < > got):")
      while IFS= read -r line; do problems+=("$line"); done < <(diff "$expected" "$work/win/$name.out" | head -20)
    else
      problems+=("the lines are right but not their bytes (UTF-16LE, CR LF); first bytes:"
                 "$(head -c 48 "$work/win/$name.bin" | od -An -tx1 | tr -s ' ' | head -3 | tr '\n' ' ')")
    fi
  fi
  if [[ -s $work/win/$name.err.bin ]]; then
    problems+=("standard error is not empty: $(iconv -f UTF-16LE -t UTF-8 <"$work/win/$name.err.bin" 2>/dev/null | head -3 | tr '\r\n' '  ')")
  fi
  local want got
  want=$(cat "$work/lin/$name.status") got=$(cat "$work/win/$name.status")
  [[ $want == "$got" ]] || problems+=("exit status $got, the Linux edition's $want")
  if ((${#problems[@]})); then fail "$check" "${problems[@]}"; else ok "$check"; fi
}

# same_pixels <a.tif> <b.tif>: the two TIFFs hold the same picture (size,
# samples, alpha); the metadata may differ.
same_pixels() {
  [[ -s $1 && -s $2 ]] || return 1
  tifftopnm -quiet -alphaout="$work/a.alpha" "$1" >"$work/a.pnm" 2>/dev/null || return 1
  tifftopnm -quiet -alphaout="$work/b.alpha" "$2" >"$work/b.pnm" 2>/dev/null || return 1
  cmp -s "$work/a.pnm" "$work/b.pnm" || return 1
  [[ -e $work/a.alpha || -e $work/b.alpha ]] || return 0
  cmp -s "$work/a.alpha" "$work/b.alpha"
}

# check_pixels <check> <relative path under lin/ and win/>
check_pixels() {
  local check=$1 lin="$work/lin/$2" win="$work/win/$2"
  if [[ ! -f $win ]]; then
    fail "$check" "the edition under test wrote no $win"
  elif [[ ! -f $lin ]]; then
    fail "$check" "the Linux edition wrote no $lin"
  elif same_pixels "$lin" "$win"; then
    ok "$check"
    if cmp -s "$lin" "$win"; then note "$2: the two TIFF files are byte for byte identical"
    else note "$2: same pixels, the files differ ($(cmp "$lin" "$win" 2>&1 | head -1 | sed "s|$work/||g"))"; fi
  else
    local size_lin size_win differing=""
    size_lin=$(head -c 20 "$work/a.pnm" | head -2 | tr '\n' ' ')
    size_win=$(head -c 20 "$work/b.pnm" | head -2 | tr '\n' ' ')
    [[ $size_lin == "$size_win" ]] && differing="; $(cmp -l "$work/a.pnm" "$work/b.pnm" 2>/dev/null | wc -l) of $(stat -c %s "$work/a.pnm") bytes of the picture differ"
    fail "$check" "$2: the pixels differ from the Linux edition's" "Linux: $size_lin under test: $size_win$differing"
  fi
}

# --- the inputs ---------------------------------------------------------------

"$linux_build/make-sample-pcd" "$work/in/sample.pcd" --top 16base >/dev/null || skip "make-sample-pcd failed"
"$linux_build/make-sample-pcd" "$work/in/small.pcd" --top base >/dev/null || skip "make-sample-pcd failed"

# --- version, help, option errors ---------------------------------------------

run_linux version -v
run_windows version -v
check_same_output "-v prints the version as UTF-16LE with CR LF" version

# The usage screen names the program by its file name without folder and
# extension, "quorbix" for quorbix.exe as for quorbix; its example paths are
# Windows paths (c:\tmp\...) in both editions, so no line differs.
run_linux help -h
run_windows help -h
check_same_output "-h prints the usage screen as UTF-16LE with CR LF" help

run_linux missing-value -d -i
run_windows missing-value -d -i
check_same_output "an option without its value: the error line" missing-value

run_linux bad-profile -i "$work/in/small.pcd" --profile="$work/in/no such profile.ini"
run_windows bad-profile -i "$(winpath "$work/in/small.pcd")" --profile="$(winpath "$work/in/no such profile.ini")"
check_same_output "a profile that cannot be opened: the error line" bad-profile

run_linux bad-folder -i "$work/in/no-such-folder" -o "$work/lin"
run_windows bad-folder -i "$(winpath "$work/in/no-such-folder")" -o "$(winpath "$work/win")"
check_same_output "a missing input folder: the banner and the error line" bad-folder

# --- one conversion with -d ---------------------------------------------------

mkdir -p "$work/lin/convert" "$work/win/convert"
run_linux convert -i "$work/in/sample.pcd" -o "$work/lin/convert" -d
run_windows convert -i "$(winpath "$work/in/sample.pcd")" -o "$(winpath "$work/win/convert")" -d
check_same_output "-d conversion of the sample through convert.exe: the lines with Windows paths" convert
check_pixels "-d conversion of the sample: the same pixels as the Linux edition" convert/sample.tiff

# --- non-ASCII letters and spaces in the names ------------------------------------

unicode_folder="Ä ö ü Ordner"
unicode_name="Ünïcode bild 1 写真"
mkdir -p "$work/in/$unicode_folder" "$work/lin/Ausgabe Ø" "$work/win/Ausgabe Ø"
cp "$work/in/small.pcd" "$work/in/$unicode_folder/$unicode_name.pcd"
run_linux unicode -i "$work/in/$unicode_folder/$unicode_name.pcd" -o "$work/lin/Ausgabe Ø" -d
run_windows unicode -i "$(winpath "$work/in/$unicode_folder/$unicode_name.pcd")" -o "$(winpath "$work/win/Ausgabe Ø")" -d
check_same_output "non-ASCII letters and spaces in the input and output names: the lines" unicode
check_pixels "non-ASCII letters and spaces: the output file by its name, the same pixels" "Ausgabe Ø/$unicode_name.tiff"

# --- a folder tree ---------------------------------------------------------------

tree="$work/in/tree"
mkdir -p "$tree/2019/summer" "$tree/2019/Winter Ä" "$tree/empty" "$work/lin/tree" "$work/win/tree"
cp "$work/in/small.pcd" "$tree/a.pcd"
cp "$work/in/small.pcd" "$tree/2019/b.PCD"
cp "$work/in/small.pcd" "$tree/2019/summer/c.pcd"
cp "$work/in/small.pcd" "$tree/2019/Winter Ä/d.pcd"
echo "not a picture" >"$tree/2019/notes.txt"
run_linux tree -i "$tree" -o "$work/lin/tree" -d
run_windows tree -i "$(winpath "$tree")" -o "$(winpath "$work/win/tree")" -d
check_same_output "a folder tree: the lines, in the Linux edition's order" tree
lin_files=$(cd "$work/lin/tree" && find . | sort)
win_files=$(cd "$work/win/tree" && find . | sort)
if [[ $lin_files == "$win_files" && $win_files == *"./2019/summer/c.tiff"* ]]; then
  ok "a folder tree: the output keeps the sub-folders ($(echo "$win_files" | grep -c '\.tiff$') files)"
else
  fail "a folder tree: the output keeps the sub-folders" "Linux: $(echo $lin_files)" "under test: $(echo $win_files)"
fi
check_pixels "a folder tree: a file two levels down has the same pixels" "tree/2019/summer/c.tiff"

# --- Windows' own rules for names ------------------------------------------------

# What the edition under test said on standard error, one line each.
error_lines() { iconv -f UTF-16LE -t UTF-8 <"$work/win/$1.err.bin" 2>/dev/null | tr -d '\r'; }
# check_rule <check> <name> <last line> <text>: the run of <name> ended with
# <last line> on standard output and said <text> on standard error.
check_rule() {
  local check=$1 name=$2 last=$3 error=$4 problems=()
  [[ $(tail -n 1 "$work/win/$name.out") == "$last" ]] || problems+=("last line: $(tail -n 1 "$work/win/$name.out")")
  [[ $(error_lines "$name") == *"$error"* ]] || problems+=("standard error: $(error_lines "$name" | tr '\n' '|')")
  if ((${#problems[@]})); then fail "$check" "${problems[@]}"; else ok "$check"; fi
}
if [[ $mode == wine ]]; then
  # Two names that differ in letter case are one name: the second picture
  # is refused and the first stays.
  mkdir -p "$work/in/case/x" "$work/in/case/y" "$work/lin/case" "$work/win/case"
  cp "$work/in/small.pcd" "$work/in/case/x/Pic.pcd"
  cp "$work/in/sample.pcd" "$work/in/case/y/PIC.pcd"
  run_linux case -i "$work/in/case/x/Pic.pcd" -o "$work/lin/case"
  run_windows case -i "$(winpath "$work/in/case")" -o "$(winpath "$work/win/case")" --no-subfolders
  check_rule "names that differ only in letter case: the second picture is refused" case \
    "Files converted: 1 of 2" "was already written for"
  check_pixels "names that differ only in letter case: the first picture stays" case/Pic.tiff

  # An output name that matches an input only without case is that input.
  mkdir -p "$work/in/own"
  cp "$work/in/small.pcd" "$work/in/own/IMG0001.PCD"
  run_windows own -i "$(winpath "$work/in/own")" -o "$(winpath "$work/in/own")" --filename-mask=%filename%.pcd
  check_rule "an output name that is an input but for letter case is refused" own \
    "Conversion stopped" "is an input file of this run"
  if cmp -s "$work/in/small.pcd" "$work/in/own/IMG0001.PCD" && [[ $(ls "$work/in/own") == IMG0001.PCD ]]; then
    ok "an output name that is an input but for letter case: the input is unchanged"
  else
    fail "an output name that is an input but for letter case: the input is unchanged" "$(ls -l "$work/in/own")"
  fi

  # One file named twice in a list, in other spellings, is one input.
  mkdir -p "$work/win/twice"
  upper=$(winpath "$work/in/small.pcd" | tr '[:lower:]' '[:upper:]')
  printf '%s\r\n%s\r\n' "Z:$work/in/small.pcd" "z${upper#Z}" >"$work/in/twice.txt"
  run_windows twice -i "$(winpath "$work/in/twice.txt")" -o "$(winpath "$work/win/twice")"
  check_rule "one file named twice in a list, in other spellings, is converted once" twice \
    "Files converted: 1 of 1" ""

  # A batch file's folders end in a backslash before the closing quote: the
  # program's own split keeps it (the C runtime's would read \" as a quote).
  mkdir -p "$work/in/with space" "$work/win/bat out"
  cp "$work/in/small.pcd" "$work/in/with space/b.pcd"
  printf '@"%s" -i "%s\\" -o "%s\\"\r\n' "$(winpath "$app/quorbix.exe")" "$(winpath "$work/in/with space")" \
    "$(winpath "$work/win/bat out")" >"$work/in/run.bat"
  (cd "$work" && "$wine" cmd /c "$(winpath "$work/in/run.bat")" >"$work/win/bat.bin" 2>"$work/win/bat.err.bin" </dev/null)
  finish_windows bat $?
  check_rule "a batch file's quoted folders ending in a backslash" bat "Files converted: 1 of 1" ""
  [[ -f "$work/win/bat out/b.tiff" ]] && ok "a batch file's quoted folders: the picture is written" ||
    fail "a batch file's quoted folders: the picture is written" "lines: $(tr '\n' '|' <"$work/win/bat.out")"

  # A %TEMP% (and %TMP%) that does not exist: the next place Windows'
  # own lookup gives (the profile folder) takes the run's temporary folder.
  mkdir -p "$work/win/gone-temp"
  printf '@set TMP=%s\r\n@set TEMP=%s\r\n@"%s" -i "%s" -o "%s"\r\n' "$(winpath "$work/gone")" "$(winpath "$work/gone")" \
    "$(winpath "$app/quorbix.exe")" "$(winpath "$work/in/small.pcd")" "$(winpath "$work/win/gone-temp")" >"$work/in/gone.bat"
  (cd "$work" && "$wine" cmd /c "$(winpath "$work/in/gone.bat")" >"$work/win/gone.bin" 2>"$work/win/gone.err.bin" </dev/null)
  finish_windows gone $?
  check_rule "a %TEMP% that does not exist: the run takes the next place and converts" gone "Files converted: 1 of 1" ""

  # A folder path of more than 300 characters, in and out.
  deep=""
  for i in 1 2 3 4 5 6; do deep+="/folder $i of a deep tree of folders, each of fifty letters"; done
  mkdir -p "$work/in/deep$deep" "$work/lin/deep$deep" "$work/win/deep$deep"
  cp "$work/in/small.pcd" "$work/in/deep$deep/d.pcd"
  note "the deep folder's path under test has $(winpath "$work/win/deep$deep" | wc -c) characters"
  run_linux deep -i "$work/in/deep$deep" -o "$work/lin/deep$deep"
  run_windows deep -i "$(winpath "$work/in/deep$deep")" -o "$(winpath "$work/win/deep$deep")"
  check_rule "a folder path of more than 300 characters converts" deep "Files converted: 1 of 1" ""
  check_pixels "a folder path of more than 300 characters: the same pixels" "deep$deep/d.tiff"

  # Names Windows cannot hold fail their file with the reason.
  mkdir -p "$work/win/names"
  for mask in "%filename%_12:30.%ext%" "con.%ext%" "Com1.x.tif" "%filename%." "what?.tif" "a|b.tif"; do
    run_windows names -i "$(winpath "$work/in/small.pcd")" -o "$(winpath "$work/win/names")" --filename-mask="$mask"
    check_rule "a name Windows cannot hold ($mask) fails its file with the reason" names \
      "Conversion stopped" "cannot be written: \""
  done
  [[ -z $(ls -A "$work/win/names") ]] && ok "names Windows cannot hold: nothing written" ||
    fail "names Windows cannot hold: nothing written" "$(ls -A "$work/win/names")"
fi

# --- ORIGINAL file times ---------------------------------------------------------

check_original_time() {
  local check=$1 name=$2 stamp=$3
  shift 3
  mkdir -p "$work/in/$name" "$work/lin/$name" "$work/win/$name"
  cp "$work/in/small.pcd" "$work/in/$name/t.pcd"
  touch -d "$stamp" "$work/in/$name/t.pcd"
  (export "$@"; run_linux "$name" -i "$work/in/$name/t.pcd" -o "$work/lin/$name" --file-timestamp=ORIGINAL)
  (export "$@"; run_windows "$name" -i "$(winpath "$work/in/$name/t.pcd")" -o "$(winpath "$work/win/$name")" --file-timestamp=ORIGINAL)
  local input output linux
  input=$(stat -c %Y "$work/in/$name/t.pcd")
  linux=$(stat -c %Y "$work/lin/$name/t.tiff" 2>/dev/null || echo none)
  output=$(stat -c %Y "$work/win/$name/t.tiff" 2>/dev/null || echo none)
  if [[ $linux != "$input" ]]; then
    fail "$check" "the Linux edition's output time $linux is not the input's $input"
  elif [[ $output == "$input" ]]; then
    ok "$check"
  else
    fail "$check" "output time $output ($(date -u -d "@${output/none/0}" '+%F %T UTC')), input time $input ($(date -u -d "@$input" '+%F %T UTC'))" \
      "lines: $(tr '\n' '|' <"$work/win/$name.out")"
  fi
}
check_original_time "--file-timestamp=ORIGINAL: the output's time is the input's" times \
  "1999-01-20 08:09:10 UTC" TZ=UTC
# A summer date in a zone with summer time: a round trip through local time
# that takes the offset of today for one way and that of the date for the
# other is an hour off for half of the year.
check_original_time "--file-timestamp=ORIGINAL in a zone with summer time, a summer date" times-berlin \
  "2001-07-15 12:34:56 UTC" TZ=Europe/Berlin

# --- a second instance while the first runs ----------------------------------------

# The first run converts enough copies of the 16Base sample to last a few
# seconds; the second starts once the first has begun converting.
mkdir -p "$work/in/many" "$work/win/first" "$work/win/second"
# Copies, not hard links: one file by two names is one input.
for i in $(seq -w 1 24); do cp "$work/in/sample.pcd" "$work/in/many/m$i.pcd"; done
start_windows first -i "$(winpath "$work/in/many")" -o "$(winpath "$work/win/first")"
first_pid=$started_pid
begun=no
for _ in $(seq 1 600); do
  if [[ $mode == wine ]]; then
    iconv -f UTF-16LE -t UTF-8 <"$work/win/first.bin" 2>/dev/null | grep -q "^Converting" && { begun=yes; break; }
  else
    grep -q "^Converting" "$work/win/first.lf" 2>/dev/null && { begun=yes; break; }
  fi
  kill -0 "$first_pid" 2>/dev/null || break
  sleep 0.1
done
run_windows second -i "$(winpath "$work/in/small.pcd")" -o "$(winpath "$work/win/second")" -d
first_still_running=no
kill -0 "$first_pid" 2>/dev/null && first_still_running=yes
wait "$first_pid"
finish_windows first $?
first_pid=
problems=()
[[ $begun == yes ]] || problems+=("the first run never printed Converting...")
[[ $first_still_running == yes ]] || problems+=("the first run had ended before the second did: nothing shown")
second_err=$(iconv -f UTF-16LE -t UTF-8 <"$work/win/second.err.bin" 2>/dev/null | tr -d '\r')
[[ -s $work/win/second.bin ]] &&
  problems+=("the second instance printed on standard output: $(tr '\n' '|' <"$work/win/second.out")")
[[ $second_err == "Another run of this program is active for this user: nothing was done" ]] ||
  problems+=("the second instance said on standard error: $(printf '%s' "$second_err" | tr '\n' '|')")
[[ $(cat "$work/win/second.status") == 0 ]] || problems+=("the second instance's exit status is $(cat "$work/win/second.status"), not 0")
[[ -z $(ls -A "$work/win/second") ]] || problems+=("the second instance wrote: $(ls -A "$work/win/second")")
if ((${#problems[@]})); then fail "a second instance ends at once, saying so only on standard error, while the first runs" "${problems[@]}"
else ok "a second instance ends at once, saying so only on standard error, while the first runs"; fi
if [[ $(tail -n 1 "$work/win/first.out") == "Files converted: 24 of 24" ]]; then
  ok "the first instance converted all its files"
else
  fail "the first instance converted all its files" "its last line: $(tail -n 1 "$work/win/first.out")"
fi

# --- what a killed run leaves ------------------------------------------------------

# A run killed while it saves leaves its staging file and its temporary
# folder; the next run removes both, since no live run holds them, whatever
# their process id: look-alikes named with every id a process of this Wine
# server may have now (the next run's own, its services') go as well.
if [[ $mode == wine ]]; then
  mkdir -p "$work/win/killed"
  start_windows killed -i "$(winpath "$work/in/many")" -o "$(winpath "$work/win/killed")"
  for _ in $(seq 1 1200); do
    ls -A "$work/win/killed" | grep -q '^\.quorbix-tmp-' && break
    kill -0 "$started_pid" 2>/dev/null || break
    sleep 0.02
  done
  kill -KILL "$started_pid" 2>/dev/null
  wait "$started_pid" 2>/dev/null
  staging_left=$(ls -A "$work/win/killed" | grep -c '^\.quorbix-tmp-')
  folders_left=$(comm -13 <(echo "$temp_before") <(windows_temp) | grep -c '/quorbix-[0-9]*-[^/]*$')
  note "the killed run left $staging_left staging file(s) and $folders_left temporary folder(s)"
  temp_base=$(find "$WINEPREFIX/drive_c/users" -mindepth 2 -maxdepth 2 -name Temp | head -1)
  for id in $(seq 32 4 4096); do
    mkdir -p "$temp_base/quorbix-$id-Alike1"
    : >"$work/win/killed/.quorbix-tmp-$id-Alike001"
  done
  run_windows after-kill -i "$(winpath "$work/in/small.pcd")" -o "$(winpath "$work/win/killed")" --filename-mask=next.tif
  problems=()
  ((folders_left > 0)) || problems+=("the killed run left no temporary folder to remove: nothing shown")
  [[ -z $(ls -A "$work/win/killed" | grep '^\.quorbix-tmp-') ]] || problems+=("staging files stay: $(ls -A "$work/win/killed" | grep '^\.quorbix-tmp-')")
  [[ -z $(comm -13 <(echo "$temp_before") <(windows_temp)) ]] || problems+=("left in the temporary folder: $(comm -13 <(echo "$temp_before") <(windows_temp) | head -3)")
  if ((${#problems[@]})); then fail "the next run removes what a killed run left" "${problems[@]}"
  else ok "the next run removes what a killed run left"; fi
fi

# --- frame, picture watermark, text watermark ----------------------------------------

small=(--width=320 --height=320 --keep-aspect-ratio)
# Plain, as the base of the text watermark's comparison.
mkdir -p "$work/lin/ops" "$work/win/ops"
run_linux plain -i "$work/in/small.pcd" -o "$work/lin/ops" "${small[@]}" --filename-mask=plain.tif
run_windows plain -i "$(winpath "$work/in/small.pcd")" -o "$(winpath "$work/win/ops")" "${small[@]}" --filename-mask=plain.tif
check_pixels "resized: the same pixels as the Linux edition" ops/plain.tif

frame=(--fr-solid-left=6 --fr-solid-right=24 --fr-solid-top=12 --fr-solid-bottom=18
       --fr-solid-left-color=C0392B --fr-solid-right-color=2471A3 --fr-solid-top-color=F1C40F
       --fr-solid-bottom-color=1E8449 --fr-solid-opacity=192 --filename-mask=frame.tif)
run_linux frame -i "$work/in/small.pcd" -o "$work/lin/ops" "${small[@]}" "${frame[@]}"
run_windows frame -i "$(winpath "$work/in/small.pcd")" -o "$(winpath "$work/win/ops")" "${small[@]}" "${frame[@]}"
check_pixels "a mitred frame of four colours, part opaque: the same pixels as the Linux edition" ops/frame.tif

# The watermark picture: the plain small picture at 64 pixels, as PNG.
run_linux logo -i "$work/in/small.pcd" -o "$work/in" --width=64 --height=64 --keep-aspect-ratio --filename-mask=logo.tif
tifftopnm -quiet "$work/in/logo.tif" | pnmtopng >"$work/in/logo.png" 2>/dev/null
picture=(--wm-image-opacity=204 --wm-image-position=BOTTOMRIGHT --wm-image-x-offset=10 --filename-mask=picture.tif)
run_linux picture -i "$work/in/small.pcd" -o "$work/lin/ops" "${small[@]}" --wm-image="$work/in/logo.png" "${picture[@]}" -d
run_windows picture -i "$(winpath "$work/in/small.pcd")" -o "$(winpath "$work/win/ops")" "${small[@]}" --wm-image="$(winpath "$work/in/logo.png")" "${picture[@]}" -d
check_same_output "a picture watermark: the lines" picture
check_pixels "a picture watermark (PNG, part opaque): the same pixels as the Linux edition" ops/picture.tif

# The text differs by font rasteriser: compared by the pixels it changes in
# the plain picture. Both editions must change pixels, in nearly the same
# place: the boxes around the changed pixels differ by at most 12 pixels on
# each side, and at least half of all changed pixels are changed by both.
text=(--wm-text="QUORBIX 2.8" --wm-font="Liberation Sans" --wm-font-size=28 --wm-font-style=BOLD
      --wm-font-color=FFFFFF --wm-text-position=MIDDLECENTER --filename-mask=text.tif)
run_linux text -i "$work/in/small.pcd" -o "$work/lin/ops" "${small[@]}" "${text[@]}"
run_windows text -i "$(winpath "$work/in/small.pcd")" -o "$(winpath "$work/win/ops")" "${small[@]}" "${text[@]}"
plain_pnm() { tifftopnm -quiet "$1" 2>/dev/null | pamtopnm -plain 2>/dev/null; }
if [[ -f $work/win/ops/text.tif && -f $work/win/ops/plain.tif && -f $work/lin/ops/text.tif ]]; then
  plain_pnm "$work/lin/ops/plain.tif" >"$work/lp.ppm"
  plain_pnm "$work/lin/ops/text.tif" >"$work/lt.ppm"
  plain_pnm "$work/win/ops/plain.tif" >"$work/wp.ppm"
  plain_pnm "$work/win/ops/text.tif" >"$work/wt.ppm"
  shape=$(awk '
    function load(file, a,   n, i, tok, hdr, w) {
      n = 0; hdr = 0
      while ((getline line < file) > 0) {
        sub(/#.*/, "", line)
        k = split(line, tok, " ")
        for (i = 1; i <= k; ++i) {
          if (hdr < 4) { if (hdr == 1) w = tok[i]; if (hdr == 2) H[file] = tok[i]; ++hdr; continue }
          a[n++] = tok[i]
        }
      }
      W[file] = w
      return n
    }
    BEGIN {
      nl = load(ARGV[1], lp); load(ARGV[2], lt); nw = load(ARGV[3], wp); load(ARGV[4], wt)
      w = W[ARGV[1]]
      if (nl != nw || W[ARGV[3]] != w || nl == 0) { print "sizes differ"; exit }
      both = 0; onlyl = 0; onlyw = 0
      lx0 = wx0 = ly0 = wy0 = 1e9; lx1 = wx1 = ly1 = wy1 = -1
      for (p = 0; p < nl / 3; ++p) {
        x = p % w; y = int(p / w); cl = 0; cw = 0
        for (c = 0; c < 3; ++c) {
          if (lp[3 * p + c] != lt[3 * p + c]) cl = 1
          if (wp[3 * p + c] != wt[3 * p + c]) cw = 1
        }
        if (cl) { if (x < lx0) lx0 = x; if (x > lx1) lx1 = x; if (y < ly0) ly0 = y; if (y > ly1) ly1 = y }
        if (cw) { if (x < wx0) wx0 = x; if (x > wx1) wx1 = x; if (y < wy0) wy0 = y; if (y > wy1) wy1 = y }
        if (cl && cw) ++both; else if (cl) ++onlyl; else if (cw) ++onlyw
      }
      d = 0
      if (both + onlyl > 0 && both + onlyw > 0) {
        d = lx0 - wx0; if (d < 0) d = -d; m = d
        d = lx1 - wx1; if (d < 0) d = -d; if (d > m) m = d
        d = ly0 - wy0; if (d < 0) d = -d; if (d > m) m = d
        d = ly1 - wy1; if (d < 0) d = -d; if (d > m) m = d
      } else m = -1
      printf "%d %d %d %d %d,%d-%d,%d %d,%d-%d,%d\n", both, onlyl, onlyw, m, lx0, ly0, lx1, ly1, wx0, wy0, wx1, wy1
    }' "$work/lp.ppm" "$work/lt.ppm" "$work/wp.ppm" "$work/wt.ppm")
  read -r both onlyl onlyw margin lbox wbox <<<"$shape"
  if [[ $both =~ ^[0-9]+$ ]]; then
    all=$((both + onlyl + onlyw))
    note "text watermark: changed pixels Linux $((both + onlyl)) in $lbox, under test $((both + onlyw)) in $wbox, both $both of $all"
    if ((both + onlyw > 0 && margin >= 0 && margin <= 12 && 2 * both >= all)); then
      ok "a text watermark: the text's pixels in the Linux edition's place (by shape)"
    else
      fail "a text watermark: the text's pixels in the Linux edition's place (by shape)" \
        "changed pixels: both $both, only Linux $onlyl, only under test $onlyw; largest box edge difference $margin"
    fi
  else
    fail "a text watermark: the text's pixels in the Linux edition's place (by shape)" "$shape"
  fi
else
  fail "a text watermark: the text's pixels in the Linux edition's place (by shape)" \
    "missing output; lines: $(tr '\n' '|' <"$work/win/text.out")"
fi

left=$(comm -13 <(echo "$temp_before") <(windows_temp))
if [[ -z $left ]]; then ok "the runs left nothing in the temporary folder"
else fail "the runs left nothing in the temporary folder" $left; fi

echo "# $((checks - failures)) of $checks checks passed ($mode)"
[[ $failures -eq 0 ]]
