#!/usr/bin/env bash
# Packs the configured build with cpack, unpacks the .deb into a scratch root
# and checks what a Debian desktop needs from it: both programs, the desktop
# entry and metainfo (validated with Debian's own tools), every icon size, the
# compressed man pages, the machine-wide store where the program reads it, the
# copyright file and the control fields.
# MACHINE_STORE is the path the build compiled into the program.
# Usage: check_package.sh BUILD_DIR MACHINE_STORE APP_ID DEBIAN_VERSION ICON_SIZE...

set -uo pipefail
build=$1 store=$2 app_id=$3 version=$4
shift 4
icon_sizes=("$@")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack did not build the package"
  exit 1
fi
debs=("$work"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb, cpack made: ${debs[*]}"
  exit 1
fi
deb=${debs[0]}
root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x"; exit 1; }

# --- files ---------------------------------------------------------------
for program in velmora-tandeo velmora-convert; do
  [ -f "$root/usr/bin/$program" ] && [ -x "$root/usr/bin/$program" ] ||
    fail "/usr/bin/$program missing or not executable"
done
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
copyright=$root/usr/share/doc/velmora-tandeo/copyright
for file in "$desktop" "$metainfo" "$copyright" "$root$store" \
            "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg"; do
  [ -s "$file" ] || fail "${file#"$root"} missing or empty"
done

# Each size must be a PNG drawn at that size, not one picture under many names.
for size in "${icon_sizes[@]}"; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  if [ ! -f "$png" ]; then
    fail "icon ${size}x${size} missing"
    continue
  fi
  header=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
  [ "$header" = 89504e470d0a1a0a ] || fail "icon ${size}x${size} is not a PNG"
  dims=$(od -An -tu4 --endian=big -j16 -N8 "$png" | xargs)
  [ "$dims" = "$size $size" ] || fail "icon ${size}x${size} is $dims pixels"
done

for page in velmora-tandeo velmora-convert; do
  man=$root/usr/share/man/man1/$page.1.gz
  gzip -t "$man" 2>/dev/null || fail "man page $page.1.gz missing or not gzip"
done
changelog=$root/usr/share/doc/velmora-tandeo/changelog.Debian.gz
gzip -t "$changelog" 2>/dev/null || fail "changelog.Debian.gz missing or not gzip"
zcat "$changelog" 2>/dev/null | head -1 | grep -qF "velmora-tandeo ($version)" ||
  fail "changelog.Debian.gz does not start with version $version"

head -1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not in Debian's machine-readable format"
grep -qx 'License: GPL-3.0-or-later' "$copyright" || fail "copyright names no GPL-3.0-or-later"

# The man page documents every option --help lists.
help=$("$root/usr/bin/velmora-convert" --help) || fail "velmora-convert --help failed"
manual=$(zcat "$root/usr/share/man/man1/velmora-convert.1.gz" | sed 's/\\-/-/g')
for option in $(grep -oE -- '--?[a-z][a-z-]*' <<<"$help" | sort -u); do
  grep -qF -- "$option" <<<"$manual" || fail "velmora-convert.1 does not document $option"
done

# --- validators ----------------------------------------------------------
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net --no-color "$metainfo" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "appstreamcli rejects the metainfo"; }
grep -qF "<release version=\"${version%-*}\"" "$metainfo" ||
  fail "the metainfo has no release entry for ${version%-*}"

# --- control fields ------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmora-tandeo ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), expected $version"
[ "$(field Section)" = graphics ] || fail "Section is $(field Section)"
for name in Maintainer Homepage Description; do
  [ -n "$(field "$name")" ] || fail "no $name field"
done
depends=$(field Depends)
for dependency in libqt6widgets6 libjpeg62-turbo libgif7 libqt6svg6 qt6-qpa-plugins; do
  grep -qE "(^|, )$dependency( |,|$)" <<<"$depends" || fail "Depends lacks $dependency: $depends"
done
grep -qE "(^|, )libdlib-data( |,|$)" <<<"$(field Recommends)" ||
  fail "Recommends lacks libdlib-data: $(field Recommends)"
# The face detector is the module the program loads from the package's library
# folder; dpkg-shlibdeps must have found dlib through it.
module=$(find "$root/usr/lib" -path '*/velmora-tandeo/velmora-tandeo-faces.so' -print -quit)
[ -n "$module" ] || fail "the face module velmora-tandeo-faces.so is not in the package"
if [ -n "$module" ]; then
  objdump -p "$module" | grep -q 'NEEDED.*libdlib' || fail "the face module does not link dlib"
  grep -qE "(^|, )libdlib19" <<<"$depends" || fail "Depends lacks libdlib: $depends"
fi
if objdump -p "$root/usr/bin/velmora-tandeo" | grep -q 'NEEDED.*libdlib'; then
  fail "the program links dlib itself instead of loading the face module"
fi
dpkg-deb -I "$deb" conffiles 2>/dev/null | grep -qx "$store" ||
  fail "$store is not a conffile"
owners=$(dpkg-deb -c "$deb" | awk '{print $2}' | sort -u)
[ "$owners" = root/root ] || fail "files not owned by root: $owners"

if [ $failed -ne 0 ]; then
  echo "$failed check(s) failed"
  exit 1
fi
echo "package $(basename "$deb") checked"
