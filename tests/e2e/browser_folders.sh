#!/usr/bin/env bash
# The photo list and the target folder, driven with real keys and mouse:
# rename and delete from the list's pop-up menu (checked on disk and in the
# trash), a new folder with F3, back and forward through the folders visited,
# the converter (F7) on a saved photo, F9; then the stored folder, and a
# second start that saves into it.
# Usage: browser_folders.sh PROGRAM LAYOUT-PROBE

. "$(dirname "$0")/x11session.sh"
e2e_begin "$1" "$2"

capture=$E2E_BIN/Capture.jpg
frame_re='^Velmora Tandeo\( Pratik Fotoğraf Aracı\)$'
new_folder="$E2E_PHOTOS/Ek Ders Belgeleri"

# save_into FOLDER NAME: F2 saves the framed photo there as NAME.
save_into() {
  e2e_key F2
  e2e_check_saved "$1/$2" JPEG 105 120 "$capture" 0 0 4
}

# popup_item ROW-DOWNS: a click on the list's first row, a right click, then
# the menu item ROW-DOWNS steps down (1: "Yeniden Adlandır", 2: "Resmi Sil").
popup_item() {
  local x y
  read -r x y < <(e2e_point "$frame" gozat/lstFoto 30 10)
  xdotool mousemove "$x" "$y" click 1 click 3
  e2e_wait_for 20 e2e_popup_shown || e2e_fail "no pop-up menu on the list"
  for _ in $(seq 1 "$1"); do e2e_key Down; done
  e2e_key Return
}

e2e_launch
frame=$(e2e_frame_up "$frame_re") || exit 1
e2e_take_photo "$capture"
e2e_f6_until_preview_shows "$frame" "$capture" 0 0 105 120 || e2e_fail "F6 did not show the photo"
# The slider's position 8: quality 90, so the saved JPEGs stay close to the photo.
e2e_click "$frame" Form1/Slider1
e2e_key Home Right Right Right Right Right Right Right Right
save_into "$E2E_PHOTOS" Resim001.jpg
save_into "$E2E_PHOTOS" Resim002.jpg

# --- 7. rename from the pop-up menu: a copy under the new name (the list
# writes the extension in capitals) ---------------------------------------------
popup_item 1
e2e_wait_window '^Yeniden Adlandır$' 20 >/dev/null || e2e_fail "no rename box"
xdotool type --delay 20 Sinif5A
e2e_key Return
e2e_wait_file "$E2E_PHOTOS/Sinif5A.JPG" || e2e_fail "rename made no Sinif5A.JPG"
e2e_check "the renamed file has the photo's bytes" "$(md5sum <"$E2E_PHOTOS/Resim001.jpg")" \
  "$(md5sum <"$E2E_PHOTOS/Sinif5A.JPG")"

# --- 7. delete from the pop-up menu: into the trash, after a question --------------------
popup_item 2
e2e_wait_window '^Sil$' 20 >/dev/null || e2e_fail "no question before deleting"
e2e_key Return
gone() { [ ! -e "$E2E_PHOTOS/Sinif5A.JPG" ]; }
e2e_wait_for 20 gone || e2e_fail "Sinif5A.JPG was not deleted"
trashed=$(find "$E2E_HOME" -path '*/Trash/files/Sinif5A.JPG')
e2e_check_true "Sinif5A.JPG is in the trash" test -f "$trashed"
e2e_check_true "the trash knows where it came from" \
  grep -q "^Path=.*Sinif5A.JPG" "$(dirname "$(dirname "$trashed")")/info/Sinif5A.JPG.trashinfo"
e2e_check "the photo folder after rename and delete" "Resim001.jpg Resim002.jpg" \
  "$(cd "$E2E_PHOTOS" && echo *)"

# --- 8. F3: a new folder, which becomes the target ----------------------------------------
e2e_key F3
e2e_wait_window '^Yeni Klasör Oluştur$' 20 >/dev/null || e2e_fail "F3 asked for no name"
e2e_key Return   # the proposed name
e2e_wait_gone '^Yeni Klasör Oluştur$' || e2e_fail "the name box did not close"
e2e_check_true "F3 made the folder" test -d "$new_folder"
save_into "$new_folder" Resim003.jpg

# --- 8. back and forward through the folders ---------------------------------------------
e2e_click "$frame" 'Form1/hrkt(0)'
save_into "$E2E_PHOTOS" Resim004.jpg
e2e_click "$frame" 'Form1/hrkt(1)'
save_into "$new_folder" Resim005.jpg

# --- 9. F7: the converter, Jpeg>>Bmp on a saved photo ----------------------------------------
e2e_key F7
converter=$(e2e_wait_window '^Resim Dönüştür$' 30) || e2e_fail "F7 opened no converter"
e2e_click "$converter" frmConvert/SSTab1.tab2
e2e_click "$converter" frmConvert/Command8
e2e_wait_window '^Open Jpg to save as Bmp$' 30 >/dev/null || e2e_fail "'...' opened no file dialog"
# The dialog opens in the target folder. Only the name is typed: xdotool
# types letters outside the keyboard map (the "ğ" of the photo folder) by
# remapping a key, which a slow program can read back as nothing.
xdotool type --delay 10 Resim005.jpg
e2e_key Return
e2e_wait_gone '^Open Jpg to save as Bmp$' || e2e_fail "the file dialog did not close"
e2e_click "$converter" frmConvert/Command4
e2e_check_saved "$new_folder/Resim005.bmp" BMP 105 120 "$new_folder/Resim005.jpg" 0 0 1

# --- 12. back to the frame; F9 ---------------------------------------------------------------
e2e_click "$frame" Form1/Label15
e2e_wait_active "$frame_re" || e2e_fail "the frame did not come back to the front"
e2e_key F9
e2e_wait_exit 60
e2e_check "exit status after F9" 0 "$E2E_STATUS"

# --- 13. the chosen folder is stored, and a second start saves into it ---------------------------
e2e_check "stored folder" "\"$new_folder\"" "$(e2e_stored Path)"
rm -f "$capture"
e2e_launch "$E2E_WORK"
frame=$(e2e_frame_up "$frame_re") || exit 1
e2e_take_photo "$capture"
e2e_f6_until_preview_shows "$frame" "$capture" 0 0 105 120 || e2e_fail "F6 did not show the photo"
save_into "$new_folder" Resim001.jpg
e2e_check "quality after the second start" 90 "$(identify -format '%Q' "$new_folder/Resim001.jpg")"
e2e_key F9
e2e_wait_exit 60
e2e_check "exit status after F9, second start" 0 "$E2E_STATUS"

[ "$E2E_FAILED" -eq 0 ] && echo "browser and folder scenario passed"
[ "$E2E_FAILED" -eq 0 ]
