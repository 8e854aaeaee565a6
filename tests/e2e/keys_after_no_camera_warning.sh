#!/usr/bin/env bash
# Started without any camera, the program warns "Yüklü Video Aygıtı Yok.";
# once the user answers with Enter, the command keys must work at once,
# every time: F9 ends the program. Repeated, because a focus race shows only
# in some starts; half the starts answer the warning as soon as it appears,
# the other half once the window manager has activated it.
# Usage: keys_after_no_camera_warning.sh PROGRAM [STARTS]

program=$1
starts=${2:-20}
. "$(dirname "$0")/x11session.sh"

e2e_start_display || exit 1
trap e2e_stop_display EXIT

passed=0
failed=0
for run in $(seq 1 "$starts"); do
  TANDEO_FAKE_CAMERAS= e2e_start_program "$program"
  if ! e2e_wait_for 20 e2e_visible_window '^Velmora Photo$'; then
    echo "start $run: the no-camera warning did not appear"
    failed=$((failed + 1)); e2e_stop_program; continue
  fi
  box=$(e2e_visible_window '^Velmora Photo$')
  if [ $((run % 2)) -eq 0 ]; then
    e2e_wait_for 5 test "$(xdotool getactivewindow 2>/dev/null)" = "$box"
  fi
  xdotool key --clearmodifiers Return
  if ! e2e_wait_for 10 e2e_active_name_is 'Velmora Tandeo'; then
    echo "start $run: the frame was not active after the warning was answered"
    failed=$((failed + 1)); e2e_stop_program; continue
  fi
  xdotool key --clearmodifiers F9
  if e2e_wait_for 5 e2e_program_ended; then
    passed=$((passed + 1))
  else
    echo "start $run: F9 did not end the program after the warning"
    failed=$((failed + 1))
  fi
  e2e_stop_program
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
