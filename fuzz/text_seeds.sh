#!/usr/bin/env bash
# Writes the seeds and the dictionary of one fuzz target for the readers of
# text into a folder: a few inputs of each kind the reader meets, and the
# option names, keywords or placeholders taken from the program's own tables.
# Usage: fuzz/text_seeds.sh <option_loop|profile|list_file|output_naming> <folder>
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?target}
folder=${2:?folder}
mkdir -p "$folder/seeds"
seed() { printf -- "$2" > "$folder/seeds/$1"; }
# The text of stdin as UTF-16 with its mark: le or be.
utf16() {
  if [[ $1 == le ]]; then printf '\xFF\xFE'; iconv -f UTF-8 -t UTF-16LE
  else printf '\xFE\xFF'; iconv -f UTF-8 -t UTF-16BE; fi
}
options_dict() {
  grep -o '"--[A-Z0-9-]*"\|"-[A-Z]"' src/settings/option_table.cpp
  grep -o '"[A-Z0-9_-]\{2,\}"' src/settings/keyword_tables.cpp
  printf '"[CLI]"\n"--WM-SOLID-OPACITY"\n"\\xEF\\xBB\\xBF"\n"\\xFF\\xFE"\n"\\xFE\\xFF"\n'
}

case $target in
  option_loop)
    seed plain '-i\0in.pcd\0-o\0out\0-c\0tiff'
    seed joined '--input="my\0pictures"\0--width=1024\0--keep-aspect-ratio\0--resize-algorithm=lanczos'
    seed profiles '--profile=a\0--profile=c\0--jpg-quality=5\0--profile=d\0--profile=b'
    seed watermark '--wm-text="%%filename%%\0%%n%%"\0--gamma=2.2\0--invert\0-d\0-q\0--pause'
    seed errors '--profile="a\0b"\0-i\0-x\0--tiff-compression=LZW\0--profile=missing'
    options_dict | sort -u > "$folder/dict"
    ;;
  profile)
    text='[CLI]\r\n--JPG-QUALITY=80\r\n; comment\r\n  --RESIZE-ALGORITHM = LANCZOS\r\n--KEEP-ASPECT-RATIO\r\n--FILENAME-MASK="%%filename%%"\r\n[Other]\r\n--WIDTH=5\r\n'
    seed latin1 "$text--WM-TEXT=\xA9 2024\r\n"
    seed utf8 "\xEF\xBB\xBF$text--WM-TEXT=\xC2\xA9 2024\r\n"
    printf "$text--WM-TEXT=\xC2\xA9 \xF0\x9F\x98\x80\r\n" | utf16 le > "$folder/seeds/utf16le"
    printf "$text--WM-TEXT=\xC2\xA9 2024\r\n" | utf16 be > "$folder/seeds/utf16be"
    options_dict | sort -u > "$folder/dict"
    ;;
  list_file)
    # Byte 0 is the size of the pieces the rest is fed in, less one; byte 1
    # the longest line taken (0: the program's own limit).
    list='  /in/a.pcd  \r\n\r\n/in/more\r\n\t/in/b.pcd\nno such file\r/in/M\xC3\xBCller \xF0\x9F\x98\x80.pcd\n'
    seed utf8 "\x00\x00\xEF\xBB\xBF$list"
    seed plain "\x0F\x0C$list"
    { printf '\x02\x00'; printf "$list" | utf16 le; } > "$folder/seeds/utf16le"
    { printf '\x06\x10'; printf "$list" | utf16 be; } > "$folder/seeds/utf16be"
    seed utf32 '\x01\x00\xFF\xFE\x00\x00/a.pcd\n'
    printf '"\\x0D\\x0A"\n"\\xFF\\xFE"\n"\\xFE\\xFF"\n"\\xEF\\xBB\\xBF"\n"\\x00\\xD8"\n"\\x00\\xDC"\n' > "$folder/dict"
    ;;
  output_naming)
    # The mask, the watermark text, the input file name and the relative folder.
    seed all '%%filename%%-%%n%%.%%ext%%\0%%yyyy%%-%%mm%%-%%dd%% %%hh%%:%%ii%%:%%ss%% %%rnd%% %%bpp%% %%width%%x%%height%%\0IMG0001.PCD\0sub/'
    seed cases '%%FILENAME[U]%%_%%Filename[l]%%_%%filename[t]%%.%%EXT[u]%%.%%ext[t]%%\0(c) %%filename%%\0M\xC3\xBCller stra\xC3\x9F\x65.pcd\0'
    seed again '%%filename%%%%filename%%\0%%%%%%\0%%ext%%%%n%%.pcd\0'
    grep -o '"%[a-z\[]*\]*%"' src/convert/output_naming.cpp | sort -u > "$folder/dict"
    ;;
  *) echo "text_seeds.sh: unknown target $target" >&2; exit 1 ;;
esac
