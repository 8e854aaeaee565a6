#!/usr/bin/env bash
# The camera window and the about box, driven with real keys and mouse: the
# toolbar button "Gelişmiş Kamera" opens the camera window, F4 and F5 there
# open the format and the source dialogs, F7 ("Resim Al") hands the picture
# to the workspace, which then has a photo to save; the about box opens from
# its button and closes with Enter; Esc ends the program.
# Usage: camera_about.sh PROGRAM LAYOUT-PROBE

. "$(dirname "$0")/x11session.sh"
e2e_begin "$1" "$2"

frame_re='^Velmora Tandeo\( Pratik Fotoğraf Aracı\)$'
camera_re='^Velmora Aranel Gelişmiş Kamera$'

# dialog_opens KEY TITLE: KEY in the camera window opens the dialog TITLE,
# which Esc closes, leaving the camera window active.
dialog_opens() {
  e2e_key "$1"
  e2e_wait_window "^$2\$" 30 >/dev/null || e2e_fail "$1 did not open \"$2\""
  echo "ok: $1 opens \"$2\""
  e2e_wait_active "^$2\$" || e2e_fail "\"$2\" did not get the focus"
  e2e_key Escape
  e2e_wait_gone "^$2\$" || e2e_fail "Esc did not close \"$2\""
  e2e_wait_active "$camera_re" || e2e_fail "the camera window is not active after \"$2\""
}

e2e_launch
frame=$(e2e_frame_up "$frame_re") || exit 1

# No photo yet: F2 says so (and nothing is saved).
for attempt in 1 2 3 4 5; do
  e2e_key F2
  e2e_wait_window '^Velmora Photo$' 3 >/dev/null && break
  [ "$attempt" -eq 5 ] && e2e_fail "F2 without a photo showed no message"
done
e2e_key Return
e2e_wait_gone '^Velmora Photo$' || e2e_fail "the message did not close on Enter"
e2e_check "nothing saved without a photo" "" "$(ls -A "$E2E_PHOTOS")"

# --- 10. the camera window from the toolbar, its dialogs, "Resim Al" -----------------------
e2e_click "$frame" Form1/gelismis
camera=$(e2e_wait_window "$camera_re" 30) || e2e_fail "Gelişmiş Kamera opened no camera window"
e2e_check "the camera window's title" "Velmora Aranel Gelişmiş Kamera" "$(xdotool getwindowname "$camera")"
e2e_wait_active "$camera_re" || e2e_fail "the camera window did not get the focus"
dialog_opens F4 "Görüntü Boyutu"
dialog_opens F5 "Video Kaynağı"
e2e_key F7
e2e_wait_gone "$camera_re" 30 || e2e_fail "F7 (Resim Al) did not close the camera window"
e2e_wait_active "$frame_re" || e2e_fail "the frame is not active after the camera window"
# The workspace now has the camera's picture as its photo: F2 saves it.
e2e_key F2
saved=$E2E_PHOTOS/Resim001.jpg
e2e_wait_file "$saved" 20 || e2e_fail "no photo to save after Resim Al"
e2e_wait_for 10 e2e_pictures size "$saved" || e2e_fail "Resim001.jpg cannot be read"
e2e_check "the photo from the camera window: type" JPEG "$(e2e_pictures type "$saved")"
e2e_check "the photo from the camera window: pixel size" 105x120 "$(e2e_pictures size "$saved")"

# --- 11. the about box ------------------------------------------------------------------------
e2e_click "$frame" Form1/Image22
e2e_wait_window '^Velmora Photo V1.0 Beta$' 30 >/dev/null || e2e_fail "no about box"
e2e_wait_active '^Velmora Photo V1.0 Beta$' || e2e_fail "the about box did not get the focus"
e2e_key Return
e2e_wait_gone '^Velmora Photo V1.0 Beta$' || e2e_fail "Enter did not close the about box"
echo "ok [${SECONDS}s]: the about box opens and closes"

# --- 12. Esc ends the program -------------------------------------------------------------------
e2e_wait_active "$frame_re" || e2e_fail "the frame is not active after the about box"
e2e_key Escape
e2e_wait_exit 60
e2e_check "exit status after Esc" 0 "$E2E_STATUS"

[ "$E2E_FAILED" -eq 0 ] && echo "camera and about scenario passed"
[ "$E2E_FAILED" -eq 0 ]
