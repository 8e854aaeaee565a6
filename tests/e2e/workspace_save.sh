#!/usr/bin/env bash
# The workspace's main job, driven with real keys and mouse: start-up, F8
# doing nothing, F5, the crop frame moved and sized with the pad, the boxes
# and a drag, F6, F2 in JPG, GIF and BMP, the overwrite question answered
# both ways, F9; then the settings file, and a second start that restores the
# frame and the quality, ended with Esc.
# Every saved file is checked on disk: name, magic bytes, pixel size, and its
# pixels against the same part of the photo (the capture file).
# Usage: workspace_save.sh PROGRAM LAYOUT-PROBE

. "$(dirname "$0")/x11session.sh"
e2e_begin "$1" "$2"

capture=$E2E_BIN/Capture.jpg
frame_re='^Velmora Tandeo\( Pratik Fotoğraf Aracı\)$'

saved_as() {  # NAME TYPE WIDTH HEIGHT LEFT TOP MAXDIFF
  e2e_check_saved "$E2E_PHOTOS/$1" "$2" "$3" "$4" "$capture" "$5" "$6" "$7"
}

# --- 1. start-up ---------------------------------------------------------------
e2e_launch
frame=$(e2e_frame_up "$frame_re") || exit 1
e2e_check "the frame's title" "Velmora Tandeo( Pratik Fotoğraf Aracı)" "$(xdotool getwindowname "$frame")"

# --- F8 does nothing in the workspace ---------------------------------------------
# F6 before any photo asks for one; once that box is up, F8 has been handled.
for attempt in 1 2 3 4 5; do
  e2e_key F8 F6
  e2e_wait_window '^Velmora Photo$' 3 >/dev/null && break
  [ "$attempt" -eq 5 ] && e2e_fail "F6 without a photo showed no message"
done
e2e_check_true "F8 opened no camera window" e2e_no_window 'Gelişmiş Kamera'
e2e_key Return
e2e_wait_gone '^Velmora Photo$' || e2e_fail "the message did not close on Enter"

# --- 2. F5 takes a photo -----------------------------------------------------------
e2e_take_photo "$capture"
e2e_check "the capture file holds the photo as" BMP "$(e2e_pictures type "$capture")"
# --- 4. F6: the framed part, 105 x 120 at the top-left corner on a first start --------
e2e_f6_until_preview_shows "$frame" "$capture" 0 0 105 120 || e2e_fail "F6 did not show the framed part"
echo "ok [${SECONDS}s]: F6 shows the framed part in the preview window"

# --- 3. the pad: step 7, two right, one down, width +2, height -1 ------------------------
e2e_type_into "$frame" Form1/txtYon 7
for key in sag sag alt genarti genarti yukeksi; do e2e_click "$frame" "Form1/$key"; done
# JPEG quality: the slider's position 8 gives quality 90.
e2e_click "$frame" Form1/Slider1
e2e_key Home Right Right Right Right Right Right Right Right

# --- 5. F2 as JPG ------------------------------------------------------------------------
e2e_key F2
saved_as Resim001.jpg JPEG 107 119 14 7 4
e2e_check "Resim001.jpg: JPEG quality" 90 "$(identify -format '%Q' "$E2E_PHOTOS/Resim001.jpg")"

# --- 3. the boxes: 90 x 100 at (50, 30); then as GIF ---------------------------------------
e2e_type_into "$frame" Form1/txtSol 50
e2e_type_into "$frame" Form1/txtUst 30
e2e_type_into "$frame" Form1/txtEn 90
e2e_type_into "$frame" Form1/txtBoy 100
e2e_f6_until_preview_shows "$frame" "$capture" 50 30 90 100 || e2e_fail "the boxes did not move the frame"
echo "ok [${SECONDS}s]: the boxes moved and sized the frame"
e2e_click "$frame" Form1/cmbTur
e2e_key Down Return
e2e_key F2
saved_as Resim002.gif GIF 90 100 50 30 8

# --- 3. a drag on the photo: by (120, 60); then as BMP ---------------------------------------
read -r from_x from_y < <(e2e_point "$frame" Form1/Label5 $((50 + 45)) $((30 + 50)))
e2e_drag "$from_x" "$from_y" $((from_x + 120)) $((from_y + 60))
e2e_click "$frame" Form1/cmbTur
e2e_key Down Return
e2e_key F2
saved_as Resim003.bmp BMP 90 100 170 90 0

# --- 6. saving onto an existing number -----------------------------------------------------------
before=$(md5sum <"$E2E_PHOTOS/Resim003.bmp")
e2e_type_into "$frame" Form1/txtResim 003
e2e_click "$frame" Form1/sol   # the frame to (163, 90): a new picture would differ
e2e_key F2
e2e_wait_window '^Velmora Photo$' 20 >/dev/null || e2e_fail "no overwrite question"
e2e_key Escape
e2e_wait_gone '^Velmora Photo$' || e2e_fail "the question did not go on Esc"
e2e_check "'no' keeps the old file's bytes" "$before" "$(md5sum <"$E2E_PHOTOS/Resim003.bmp")"
e2e_key F2
e2e_wait_window '^Velmora Photo$' 20 >/dev/null || e2e_fail "no overwrite question the second time"
e2e_key Return
e2e_wait_gone '^Velmora Photo$' || e2e_fail "the question did not go on Enter"
changed() { [ "$(md5sum <"$E2E_PHOTOS/Resim003.bmp")" != "$before" ]; }
e2e_wait_for 20 changed || e2e_fail "'yes' did not replace Resim003.bmp"
saved_as Resim003.bmp BMP 90 100 163 90 0
e2e_check "the photo folder after the saves" "Resim001.jpg Resim002.gif Resim003.bmp" \
  "$(cd "$E2E_PHOTOS" && echo *)"

# --- 12. F9 ends the program ----------------------------------------------------------------------
e2e_key F9
e2e_wait_exit 60
e2e_check "exit status after F9" 0 "$E2E_STATUS"

# --- 13. what the settings file holds ---------------------------------------------------------------
e2e_check "stored left" "$(e2e_dword 163)" "$(e2e_stored Sol)"
e2e_check "stored top" "$(e2e_dword 90)" "$(e2e_stored Ust)"
e2e_check "stored width" "$(e2e_dword 90)" "$(e2e_stored En)"
e2e_check "stored height" "$(e2e_dword 100)" "$(e2e_stored Boy)"
e2e_check "stored step" "$(e2e_dword 7)" "$(e2e_stored Hareket)"
e2e_check "stored quality position" "$(e2e_dword 8)" "$(e2e_stored Kalite)"

# --- 13. a second start restores the frame and the quality -------------------------------------------
# (The folder is stored once the user chooses one: browser_folders.sh.)
rm -f "$capture"
e2e_launch
frame=$(e2e_frame_up "$frame_re") || exit 1
e2e_take_photo "$capture"
e2e_f6_until_preview_shows "$frame" "$capture" 163 90 90 100 || e2e_fail "the frame was not restored"
echo "ok [${SECONDS}s]: the frame is restored"
before=$(md5sum <"$E2E_PHOTOS/Resim001.jpg")
e2e_key F2
# The number starts at 001 again: the JPEG of the first run is there.
e2e_wait_window '^Velmora Photo$' 20 >/dev/null || e2e_fail "no overwrite question after the second start"
e2e_key Return
changed() { [ "$(md5sum <"$E2E_PHOTOS/Resim001.jpg")" != "$before" ]; }
e2e_wait_for 20 changed || e2e_fail "F2 after the second start did not replace Resim001.jpg"
saved_as Resim001.jpg JPEG 90 100 163 90 4
e2e_check "restored JPEG quality" 90 "$(identify -format '%Q' "$E2E_PHOTOS/Resim001.jpg")"

# --- 12. Esc closes the workspace and with it the program ----------------------------------------------
e2e_key Escape
e2e_wait_exit 60
e2e_check "exit status after Esc" 0 "$E2E_STATUS"

[ "$E2E_FAILED" -eq 0 ] && echo "workspace scenario passed"
[ "$E2E_FAILED" -eq 0 ]
