#!/usr/bin/env bash
# The Debian package as a user gets it, and the manual pages beside the programs' --help.
#   package_test.sh build CPACK BUILD_DIR OUT_DIR VERSION  builds OUT_DIR/varno_VERSION_ARCH.deb with CPack
#   package_test.sh lintian DEB                            lintian finds no error and no warning
#   package_test.sh unpacked DEB VERSION                   unpacked, it holds what a desktop needs, and runs
#   package_test.sh manual VARNO VARNO_COUNT MAN_DIR       the manual pages name exactly the options of --help
set -euo pipefail

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

build() {
  local cpack=$1 build_dir=$2 out=$3 version=$4
  rm -rf "$out"
  mkdir -p "$out"
  "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out"
  local deb
  deb="$out/varno_${version}_$(dpkg --print-architecture).deb"
  [ -f "$deb" ] || fail "CPack made no $deb"
}

run_lintian() {
  local deb=$1
  # Errors and warnings fail; what lintian merely notes (I:) is shown but passes.
  lintian --display-info --fail-on error,warning "$deb"
}

unpacked() {
  local deb=$1 version=$2
  root=$(mktemp -d "${TMPDIR:-/tmp}/varno-package.XXXXXX")
  trap 'rm -rf "$root"' EXIT
  dpkg-deb -x "$deb" "$root/tree"

  # The control fields: the project's version, and dependencies that dpkg-shlibdeps found, all of them
  # runtime libraries (named by prefix: a distribution may add a suffix such as t64).
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  local library
  for library in libqt6widgets6 libqt6svg6 libqt6charts6 libgmp10 libopenmpi; do
    [[ ", $depends" == *", $library"* ]] || fail "the package does not depend on $library"
  done
  local package
  for package in $(echo "$depends" | sed 's/[,|]/\n/g' | sed 's/(.*//; s/ //g'); do
    case $package in
      *-dev | *-bin) fail "the package depends on $package, which is no runtime library" ;;
      lib*) ;;
      *) fail "the package depends on $package, which is no library" ;;
    esac
  done

  local tree=$root/tree
  local file
  for file in usr/bin/varno usr/bin/varno-count \
    usr/share/applications/varno.desktop usr/share/mime/packages/varno.xml \
    usr/share/metainfo/io.github.varno.Varno.metainfo.xml \
    usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/varno.png \
    usr/share/man/man1/varno.1.gz usr/share/man/man1/varno-count.1.gz \
    usr/share/doc/varno/copyright usr/share/doc/varno/changelog.gz; do
    [ -f "$tree/$file" ] || fail "the package lacks /$file"
  done
  grep -q '^Exec=varno %f$' "$tree/usr/share/applications/varno.desktop" || fail "the menu entry opens no file"
  grep -q '^Icon=varno$' "$tree/usr/share/applications/varno.desktop" || fail "the menu entry has no icon"
  grep -q '^MimeType=application/x-varno-ring;$' "$tree/usr/share/applications/varno.desktop" ||
    fail "the menu entry does not open ring files"
  grep -q 'glob pattern="\*\.vrf"' "$tree/usr/share/mime/packages/varno.xml" || fail "no MIME type for *.vrf"
  head -n 1 "$tree/usr/share/doc/varno/copyright" |
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
    fail "the copyright file is not in Debian's machine-readable format"
  zcat "$tree/usr/share/doc/varno/changelog.gz" | head -n 1 | grep -q "^varno ($version) " ||
    fail "the changelog's newest entry is not version $version"

  # The MIME, desktop and icon caches belong to the user's machine, where dpkg's triggers rebuild them;
  # a package that shipped one would leave it behind, stale, when removed.
  local stray
  stray=$(cd "$tree" && find . -type f \( -path './usr/share/mime/*' -a ! -path './usr/share/mime/packages/*' \
    -o -name '*.cache' -o -path './usr/share/applications/*' -a ! -name '*.desktop' \
    -o ! -path './usr/*' -o -path './usr/local/*' \))
  [ -z "$stray" ] || fail "the package ships generated or misplaced files: $stray"

  # The programs run from the unpacked package, without a display and with a home of their own.
  mkdir -p "$root/home" && mkdir -m 700 "$root/run"
  local output
  output=$(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$root/home" XDG_CACHE_HOME="$root/home/.cache" \
    XDG_RUNTIME_DIR="$root/run" "$tree/usr/bin/varno-count" 4 4) || fail "varno-count 4 4 failed"
  echo "$output"
  [[ "$output" == "n=4 k=4 labellings=15765750 rings=2269 best=10/16 seconds="* ]] ||
    fail "varno-count 4 4 printed a wrong count"
  output=$(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$root/home" XDG_CACHE_HOME="$root/home/.cache" \
    XDG_RUNTIME_DIR="$root/run" "$tree/usr/bin/varno" --version) || fail "varno --version failed"
  echo "$output"
  [ "$output" = "varno $version" ] || fail "varno --version printed '$output'"
}

# The options a text names: long ones (--name) and single letters (-h), one a line.
options_in() {
  grep -oE -- '--[a-z][a-z0-9-]*|(^|[][ ,|(])-[a-zA-Z]([][ ,|)]|$)' | sed 's/^[^-]*//; s/[^a-zA-Z0-9-]*$//' |
    LC_ALL=C sort -u
}

# The options a manual page documents: those of each item (.TP) in its lists, with roff's "\-" as "-".
documented_in() {
  gzip -dcf "$1" | sed 's/\\-/-/g' | awk 'item { print; item = 0 } /^\.TP/ { item = 1 }' | options_in
}

same_options() {
  local program=$1 help=$2 page=$3
  local in_help in_page
  in_help=$(echo "$help" | options_in)
  in_page=$(documented_in "$page")
  [ -n "$in_help" ] || fail "$program --help names no option"
  if [ "$in_help" != "$in_page" ]; then
    echo "$program --help, then its manual page:" >&2
    diff <(echo "$in_help") <(echo "$in_page") >&2 || true
    fail "the manual page of $program and its --help name different options"
  fi
  echo "$program: $(echo "$in_help" | tr '\n' ' ')"
}

manual() {
  local varno=$1 count=$2 pages=$3
  same_options varno-count "$("$count" --help)" "$pages/varno-count.1"
  run=$(mktemp -d "${TMPDIR:-/tmp}/varno-manual.XXXXXX")
  trap 'rm -rf "$run"' EXIT
  same_options varno "$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$run" "$varno" --help)" "$pages/varno.1"
}

command=$1
shift
case $command in
  build) build "$@" ;;
  lintian) run_lintian "$@" ;;
  unpacked) unpacked "$@" ;;
  manual) manual "$@" ;;
  *) fail "unknown command $command" ;;
esac
