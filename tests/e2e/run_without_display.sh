#!/usr/bin/env bash
# `make run` without a display does the program's main job: scripts/run takes
# a photo with F5, saves it with F2 and ends the program with F9. The photo it
# names must be a 105 x 120 JPEG in a folder of its own, the screenshot a PNG
# of the whole 1280 x 1024 screen, and of the temporary folder only the photo
# folder may be left (the profile and the program's output are removed).
# The sizes are read here from the files' own headers, not with the tools the
# script itself checks with.
# Usage: run_without_display.sh SOURCE-DIR BUILD-DIR
set -u

source_dir=$1
build_dir=$2
output=$(mktemp)
trap 'rm -f "$output"' EXIT

if ! env -u DISPLAY -u WAYLAND_DISPLAY TMPDIR="${TMPDIR:-/tmp}" \
    bash "$source_dir/scripts/run" "$build_dir" >"$output"; then
  echo "scripts/run failed"
  cat "$output"
  exit 1
fi

saved=$(sed -n 's/^saved: //p' "$output")
shot=$(sed -n 's/^screenshot: //p' "$output")
failed=0
check() {  # WHAT EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "$1: expected '$2', got '$3'"
    failed=$((failed + 1))
  fi
}

# The first SOF marker's height and width; "none" when the file is no JPEG.
jpeg_size() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
if data[:2] != b"\xff\xd8":
    print("none"); sys.exit()
i = 2
while i + 9 < len(data):
    if data[i] != 0xFF:
        break
    marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
    if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
        height, width = struct.unpack(">HH", data[i + 5:i + 9])
        print(f"{width}x{height}"); sys.exit()
    i += 2 + length
print("none")
PY
}

# The width and height from a PNG's header; "none" when the file is no PNG.
png_size() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read(24)
if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
    print("none"); sys.exit()
print("%dx%d" % struct.unpack(">II", data[16:24]))
PY
}

if [ -f "$saved" ]; then
  check "the saved photo's name" "Resim001.jpg" "$(basename "$saved")"
  check "the saved photo's size" "105x120" "$(jpeg_size "$saved")"
  work=$(dirname "$(dirname "$saved")")
  check "what is left of the temporary folder" "Fotoğraflar" "$(ls -A "$work")"
  rm -rf "$work"
else
  echo "no saved photo named in the output:"
  cat "$output"
  failed=$((failed + 1))
fi

if [ -f "$shot" ]; then
  check "the screenshot's size" "1280x1024" "$(png_size "$shot")"
  rm -f "$shot"
else
  echo "no screenshot named in the output"
  failed=$((failed + 1))
fi

[ "$failed" -eq 0 ] && echo "make run saved a 105 x 120 JPEG"
[ "$failed" -eq 0 ]
