# bash completion for quorbix(1): option names, the keywords of keyword
# options after "=", and file and folder names after -i, -o, --input,
# --output, --profile, --wm-image and --report. Needs nothing but bash itself; with the
# bash-completion package it is loaded on demand from
# share/bash-completion/completions/quorbix.
#
# The lists below follow the program's option table; tests/docs checks them
# against it, so an option added there without being added here fails.

# Options that take their value after "=" (or, for -i, -o and -c, as the
# next word).
_quorbix_value_options='--input= --output= --conversion=
 --dds-load-as= --gif-frame-loading= --ico-frame-loading= --raw-load-as=
 --raw-header-size= --raw-width= --raw-height= --raw-tone-mapping=
 --tiff-frame-loading= --pcd-tone= --bmp-bpp= --bmp-compression=
 --bmp-color-table=
 --dds-bpp= --exr-bpp= --exr-compression= --gif-bpp= --hdr-bpp= --ico-bpp=
 --j2k-bpp= --jng-bpp= --jp2-bpp= --jpg-bpp= --jpg-quality= --jpg-chroma=
 --jpg-save-as= --jxr-bpp= --pbm-bpp= --pcx-bpp= --pfm-bpp= --pgm-bpp=
 --png-bpp= --png-compression= --ppm-bpp= --psd-bpp= --tga-bpp=
 --tga-compression= --tiff-bpp= --tiff-compression= --tiff-color-model=
 --wbmp-bpp= --webp-bpp= --xpm-bpp= --rotation-type= --rotation=
 --rotation-back-color= --width= --width-unit= --height= --height-unit=
 --resize-type= --resize-algorithm= --brightness= --contrast= --gamma=
 --threshold= --fr-solid-left= --fr-solid-right= --fr-solid-top=
 --fr-solid-bottom= --fr-solid-left-color= --fr-solid-right-color=
 --fr-solid-top-color= --fr-solid-bottom-color= --fr-solid-opacity=
 --wm-text= --wm-font= --wm-font-size= --wm-font-leading= --wm-font-color=
 --wm-font-style= --wm-font-effect= --wm-text-alignment= --wm-text-padding=
 --wm-text-opacity= --wm-back-color= --wm-back-opacity= --wm-text-boundary=
 --wm-text-position= --wm-text-x-offset= --wm-text-y-offset=
 --wm-text-rotation= --wm-text-size= --wm-image= --wm-image-opacity=
 --wm-image-boundary= --wm-image-position= --wm-image-x-offset=
 --wm-image-y-offset= --wm-image-rotation= --wm-image-size=
 --filename-mask= --file-timestamp= --file-timestamp-custom= --profile=
 --jobs= --report='

# The short options (the value of -i, -o and -c is the next word) and the
# options without a value. -h, -v, --help and --version act only as the
# first word.
_quorbix_other_options='-i -o -c -d -q -p -h -v
 --help --version --png-interlaced --keep-aspect-ratio --flip-horizontal
 --flip-vertical --invert --greyscale --wm-text-antialiasing
 --wm-image-greyscale --no-subfolders --debug --quiet --pause --exit-codes
 --skip-existing'

# The keywords of an option (given in lower case, without "="); nothing for
# an option that takes no keyword.
_quorbix_keywords() {
  case $1 in
    --dds-load-as) echo AUTO BGRA RGBA ;;
    --gif-frame-loading | --ico-frame-loading | --tiff-frame-loading)
      echo ALL FIRST MIDDLE LAST RANDOM ;;
    --raw-load-as) echo AUTO 8 16 24 48HS 48 ;;
    --raw-tone-mapping) echo NONE LINEAR AL DRR GD ;;
    --pcd-tone) echo DISPLAY FULLRANGE ;;
    --bmp-compression | --tga-compression) echo NONE RLE ;;
    --exr-compression) echo NONE ZIP PIZ PXR24 B44 ;;
    --png-compression) echo NONE ZLIB1 ZLIB6 ZLIB9 ;;
    --tiff-compression)
      echo NONE CCITTFAX3 CCITTFAX4 PACKBITS DEFLATE ADOBEDEFLATE LZW JPEG LOGLUV ;;
    --bmp-color-table) echo AUTO EXACT ;;
    --tiff-color-model) echo RGB CMYK LAB ;;
    --jpg-chroma) echo NONE LOW MEDIUM HIGH ;;
    --jpg-save-as) echo STANDARD SIMPLE OPTIMIZED PROGRESSIVE ;;
    --rotation-type) echo SIMPLE ADVANCED ;;
    --width-unit | --height-unit) echo PIXELS PERCENT ;;
    --resize-type) echo ALLIMAGES LARGEIMAGES ;;
    --resize-algorithm) echo BOX BILINEAR BSPLINE BICUBIC CATMULLROM LANCZOS ;;
    --wm-font-style) echo REGULAR BOLD ITALIC BOLDITALIC ;;
    --wm-font-effect) echo NONE UNDERLINE STRIKETHROUGHT ;;
    --wm-text-alignment) echo LEFT CENTER RIGHT ;;
    --wm-text-boundary | --wm-image-boundary) echo IMAGE FRAME ;;
    --wm-text-position | --wm-image-position)
      echo TOPLEFT TOPCENTER TOPRIGHT MIDDLELEFT MIDDLECENTER MIDDLERIGHT \
        BOTTOMLEFT BOTTOMCENTER BOTTOMRIGHT ;;
    --wm-text-size | --wm-image-size) echo FIXED ;;
    --file-timestamp) echo CURRENT ORIGINAL CUSTOM ;;
  esac
}

# Adds to COMPREPLY the names of files and folders (or of folders only, when
# $2 is "folders") that begin with $1, each after the prefix $3.
_quorbix_paths() {
  local prefix=$3 name
  local -a names
  if [[ $2 == folders ]]; then
    mapfile -t names < <(compgen -d -- "$1")
  else
    mapfile -t names < <(compgen -f -- "$1")
  fi
  if [[ -z $prefix ]]; then
    # A bare name: readline quotes it and marks folders itself.
    COMPREPLY+=("${names[@]}")
    compopt -o filenames 2>/dev/null
    return
  fi
  # After "--opt=" in one word readline cannot tell a folder: it gets its
  # "/" here, and no space follows, so that completion can go on inside it.
  for name in "${names[@]}"; do
    [[ -d $name && $name != */ ]] && name+=/
    COMPREPLY+=("$prefix$name")
  done
  compopt -o nospace 2>/dev/null
}

# The value of option $1 that begins with $2, each completion after the
# prefix $3.
_quorbix_value() {
  local option=${1,,} value=$2 prefix=$3 keyword
  case $option in
    -i | --input | --profile | --wm-image | --report) _quorbix_paths "$value" files "$prefix" ;;
    -o | --output) _quorbix_paths "$value" folders "$prefix" ;;
    -c | --conversion) [[ tiff == "${value,,}"* ]] && COMPREPLY+=("${prefix}tiff") ;;
    *)
      # Keywords are matched whatever their case.
      for keyword in $(_quorbix_keywords "$option"); do
        [[ $keyword == "${value^^}"* ]] && COMPREPLY+=("$prefix$keyword")
      done
      ;;
  esac
}

_quorbix() {
  COMPREPLY=()
  local cur=${COMP_WORDS[COMP_CWORD]}
  local prev=
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}

  # "--opt=value": with "=" in COMP_WORDBREAKS (bash's default) bash splits
  # it into "--opt", "=" and "value" and replaces only the value, so the
  # completions are bare values; otherwise the word is whole and so are the
  # completions.
  if [[ $cur == = ]]; then
    _quorbix_value "$prev" "" ""
    return 0
  fi
  if [[ $prev == = ]] && ((COMP_CWORD > 1)); then
    _quorbix_value "${COMP_WORDS[COMP_CWORD - 2]}" "$cur" ""
    return 0
  fi
  if [[ $cur == --*=* ]]; then
    _quorbix_value "${cur%%=*}" "${cur#*=}" "${cur%%=*}="
    return 0
  fi

  # The short options with a value take it as the next word.
  case $prev in
    -[iIoOcC])
      _quorbix_value "$prev" "$cur" ""
      return 0
      ;;
  esac

  if [[ $cur == -* ]]; then
    local name
    for name in $_quorbix_value_options $_quorbix_other_options; do
      [[ $name == "${cur,,}"* ]] && COMPREPLY+=("$name")
    done
    # An option that wants a value goes on right after its "=".
    [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
    return 0
  fi
  return 0
}

complete -F _quorbix quorbix
