#!/usr/bin/env bash
# The titles the window manager shows are exactly the program's: the frame's
# caption (with nothing appended to it) and a message box's own title, as
# read from _NET_WM_NAME of the running program's windows.
# Usage: window_titles.sh PROGRAM

program=$1
. "$(dirname "$0")/x11session.sh"

e2e_start_display || exit 1
trap e2e_stop_display EXIT

failed=0

# check_title REGEX EXPECTED WHAT: the visible window found by REGEX is named EXPECTED.
check_title() {
  local id name
  if ! e2e_wait_for 20 e2e_visible_window "$1"; then
    echo "$3: no window appeared"
    failed=$((failed + 1))
    return
  fi
  id=$(e2e_visible_window "$1")
  name=$(xprop -id "$id" _NET_WM_NAME)
  if [ "$name" != "_NET_WM_NAME(UTF8_STRING) = \"$2\"" ]; then
    echo "$3: the window manager reads $name"
    failed=$((failed + 1))
  fi
}

TANDEO_FAKE_CAMERAS="Kamera A" e2e_start_program "$program"
check_title '^Velmora Tandeo' 'Velmora Tandeo( Pratik Fotoğraf Aracı)' "the frame"
e2e_stop_program

# Set but empty: no camera, so the start-up warning comes.
TANDEO_FAKE_CAMERAS= e2e_start_program "$program"
check_title '^Velmora Photo' 'Velmora Photo' "the no-camera warning"
e2e_stop_program

[ "$failed" -eq 0 ] && echo "titles as given"
[ "$failed" -eq 0 ]
