# Shared by the end-to-end tests: a private X server with a window manager,
# a sandboxed profile per program start, and waiting helpers. Sourced, not run.
# Needs Xvfb, openbox and xdotool (scripts/install-deps installs them).

set -u

e2e_start_display() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  E2E_XVFB=$!
  for _ in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -1 "$fdfile")"
  rm -f "$fdfile"
  openbox >/dev/null 2>&1 &
  E2E_WM=$!
  # The window manager is up once it owns the screen's selection.
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.05
  done
  echo "e2e: window manager did not start" >&2
  return 1
}

e2e_stop_display() {
  kill "${E2E_WM:-}" "${E2E_XVFB:-}" 2>/dev/null
  wait 2>/dev/null
}

# e2e_start_program PROGRAM: starts it with a fresh profile; sets E2E_PID, E2E_PROFILE.
e2e_start_program() {
  E2E_PROFILE=$(mktemp -d)
  HOME=$E2E_PROFILE XDG_CONFIG_HOME=$E2E_PROFILE/config XDG_CACHE_HOME=$E2E_PROFILE/cache \
    QT_QPA_PLATFORM=xcb "$@" >"$E2E_PROFILE/output.log" 2>&1 &
  E2E_PID=$!
}

e2e_stop_program() {
  kill "$E2E_PID" 2>/dev/null
  wait "$E2E_PID" 2>/dev/null
  rm -rf "$E2E_PROFILE"
}

# e2e_wait_for TIMEOUT_SECONDS COMMAND...: true once COMMAND succeeds; polls
# every 50 ms until the time is up, however long COMMAND itself takes.
e2e_wait_for() {
  local end=$((SECONDS + $1))
  shift
  while true; do
    "$@" >/dev/null 2>&1 && return 0
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.05
  done
}

e2e_visible_window() {  # NAME_REGEX: the first visible window of that name; fails when none
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
  [ -n "$id" ] && echo "$id"
}

e2e_active_name_is() {  # PREFIX
  local name
  name=$(xdotool getactivewindow getwindowname 2>/dev/null) || return 1
  [[ "$name" == "$1"* ]]
}

e2e_program_ended() {
  ! kill -0 "$E2E_PID" 2>/dev/null
}

# --- Scenarios that drive the program like a user -----------------------------
# A scenario keeps one work folder (E2E_WORK) with the profile, a private copy
# of the program (so the capture file Capture.jpg, which goes beside the
# program, is this scenario's own), the photo folder and the control layout.

E2E_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_SCREEN_SIZE=1280x1024

# e2e_begin PROGRAM PROBE: starts the display, makes the work folder and reads
# the control layout with PROBE. Sets E2E_WORK, E2E_PHOTOS, E2E_HOME, E2E_BIN.
e2e_begin() {
  local program probe_program
  program=$(realpath "$1") probe_program=$(realpath "$2")
  E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/tandeo-e2e.XXXXXX")
  E2E_HOME=$E2E_WORK/home
  E2E_PHOTOS=$E2E_WORK/Fotoğraflar
  E2E_BIN=$E2E_WORK/bin
  E2E_FAILED=0
  mkdir -p "$E2E_HOME/config" "$E2E_HOME/cache" "$E2E_PHOTOS" "$E2E_BIN"
  ln "$program" "$E2E_BIN/" 2>/dev/null || cp "$program" "$E2E_BIN/"
  # The program looks for its face module beside itself.
  local module
  module=$(dirname "$program")/velmora-tandeo-faces.so
  if [ -e "$module" ]; then
    ln "$module" "$E2E_BIN/" 2>/dev/null || cp "$module" "$E2E_BIN/"
  fi
  E2E_PROGRAM=$E2E_BIN/$(basename "$program")
  trap e2e_end EXIT
  e2e_start_display || e2e_fail "no X server with a window manager"
  # The probe lays the windows out with a profile of its own, so nothing it
  # stores reaches the scenario's.
  local probe=$E2E_WORK/probe
  mkdir -p "$probe/config" "$probe/cache"
  (cd "$probe" && HOME=$probe XDG_CONFIG_HOME=$probe/config XDG_CACHE_HOME=$probe/cache \
    QT_QPA_PLATFORM=xcb TANDEO_FAKE_CAMERAS="Kamera A" \
    LSAN_OPTIONS="suppressions=$E2E_HERE/lsan.supp:print_suppressions=0" \
    timeout 60 "$probe_program" frmConvert \
    >"$E2E_WORK/layout" 2>"$probe/output.log") || e2e_fail "the layout probe failed"
}

e2e_end() {
  local status=$?
  if [ -n "${E2E_PID:-}" ] && kill -0 "$E2E_PID" 2>/dev/null; then
    kill "$E2E_PID" 2>/dev/null
    wait "$E2E_PID" 2>/dev/null
  fi
  e2e_stop_display
  if [ "$status" -eq 0 ] && [ "${E2E_FAILED:-0}" -eq 0 ]; then rm -rf "$E2E_WORK"; fi
  exit "$status"
}

# e2e_screenshot: a PNG of the whole screen, kept; prints its path.
e2e_screenshot() {
  local shot
  shot=$(mktemp "${TMPDIR:-/tmp}/tandeo-e2e-shot.XXXXXX.png")
  import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
}

# e2e_fail MESSAGE: the scenario cannot go on; shows the screen and the
# program's output and ends the script with failure.
# On standard error, so that a failure inside $(...) is seen too.
e2e_fail() {
  {
    echo "FAILED: $*"
    e2e_screenshot
    if [ -s "$E2E_WORK/output.log" ]; then
      echo "the program's output:"
      tail -40 "$E2E_WORK/output.log"
    fi
    echo "work folder kept: $E2E_WORK"
  } >&2
  E2E_FAILED=1
  exit 1
}

# e2e_check WHAT EXPECTED ACTUAL: a check the scenario goes on after.
e2e_check() {
  if [ "$2" != "$3" ]; then
    echo "FAILED: $1: expected '$2', got '$3'"
    E2E_FAILED=$((E2E_FAILED + 1))
    e2e_screenshot
  else
    echo "ok [${SECONDS}s]: $1"
  fi
}

# e2e_check_true WHAT COMMAND...: COMMAND succeeds (its output is shown).
e2e_check_true() {
  local what=$1 output
  shift
  if output=$("$@" 2>&1); then
    echo "ok [${SECONDS}s]: $what${output:+ ($output)}"
  else
    echo "FAILED: $what${output:+: $output}"
    E2E_FAILED=$((E2E_FAILED + 1))
    e2e_screenshot
  fi
}

# e2e_launch [FOLDER]: starts the program in FOLDER (default: the photo
# folder) with the scenario's profile and the synthetic camera ($E2E_CAMERAS,
# default "Kamera A"); LSan reports
# leaks when the program ends, if it was built with the sanitizers.
e2e_launch() {
  local folder=${1:-$E2E_PHOTOS}
  (cd "$folder" && HOME=$E2E_HOME XDG_CONFIG_HOME=$E2E_HOME/config \
    XDG_CACHE_HOME=$E2E_HOME/cache XDG_DATA_HOME=$E2E_HOME/data QT_QPA_PLATFORM=xcb \
    TANDEO_FAKE_CAMERAS="${E2E_CAMERAS:-Kamera A}" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1" \
    LSAN_OPTIONS="suppressions=$E2E_HERE/lsan.supp:print_suppressions=0" \
    exec "$E2E_PROGRAM") >>"$E2E_WORK/output.log" 2>&1 &
  E2E_PID=$!
}

# e2e_wait_window REGEX [SECONDS]: waits for a visible window whose name
# matches; prints its id.
e2e_wait_window() {
  local id
  id=$(timeout "${2:-30}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1)
  [ -n "$id" ] && echo "$id"
}

e2e_no_window() {  # REGEX: true when no visible window matches
  ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1
}

# e2e_wait_gone REGEX [SECONDS]: waits until no visible window matches.
e2e_wait_gone() {
  e2e_wait_for "${2:-20}" e2e_no_window "$1"
}

# e2e_wait_active REGEX [SECONDS]: waits until the active window matches.
e2e_wait_active() {
  e2e_wait_for "${2:-20}" e2e_active_matches "$1"
}

e2e_active_matches() {
  local name
  name=$(xdotool getactivewindow getwindowname 2>/dev/null) || return 1
  [[ "$name" =~ $1 ]]
}

e2e_file_exists() { [ -e "$1" ]; }

# e2e_wait_file PATH [SECONDS]
e2e_wait_file() {
  e2e_wait_for "${2:-20}" e2e_file_exists "$1"
}

# e2e_wait_exit [SECONDS]: waits for the program to end by itself; sets
# E2E_STATUS to its exit status ("still running" when it did not end in time).
e2e_wait_exit() {
  E2E_STATUS="still running"
  e2e_wait_for "${1:-60}" e2e_program_ended || return 1
  E2E_STATUS=0
  wait "$E2E_PID" 2>/dev/null || E2E_STATUS=$?
  E2E_PID=
}

# e2e_origin WINDOW-ID: the screen position of the window's client area.
e2e_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
                           END {print x, y}'
}

# e2e_place OWNER/NAME: the control's "X Y WIDTH HEIGHT" in its window, from
# the layout probe.
e2e_place() {
  local place
  place=$(awk -v name="$1" '$1 == name {print $2, $3, $4, $5; exit}' "$E2E_WORK/layout")
  [ -n "$place" ] || e2e_fail "no control $1 in the layout"
  echo "$place"
}

# e2e_point WINDOW-ID OWNER/NAME [DX DY]: the screen point of the control's
# centre, or DX DY from its top-left corner.
e2e_point() {
  local ox oy x y w h
  read -r ox oy < <(e2e_origin "$1")
  read -r x y w h < <(e2e_place "$2")
  if [ $# -ge 4 ]; then
    echo $((ox + x + $3)) $((oy + y + $4))
  else
    echo $((ox + x + w / 2)) $((oy + y + h / 2))
  fi
}

# e2e_click WINDOW-ID OWNER/NAME [BUTTON]: clicks the control's centre. The
# X server handles the fake motion and the click in order, so no --sync
# (which waits for a motion that never comes when the pointer is there already).
e2e_click() {
  local x y
  read -r x y < <(e2e_point "$1" "$2")
  xdotool mousemove "$x" "$y" click "${3:-1}"
}

# e2e_type_into WINDOW-ID OWNER/NAME TEXT: clicks a text box, selects what it
# holds and types TEXT over it.
e2e_type_into() {
  e2e_click "$1" "$2"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 20 "$3"
}

# e2e_key KEY...: key presses to the window with the focus.
e2e_key() {
  xdotool key --clearmodifiers "$@"
}

# e2e_drag FROM-X FROM-Y TO-X TO-Y: a left-button drag in small steps.
e2e_drag() {
  local i steps=8
  xdotool mousemove "$1" "$2" mousedown 1
  for i in $(seq 1 $steps); do
    xdotool mousemove $(($1 + ($3 - $1) * i / steps)) $(($2 + ($4 - $2) * i / steps))
  done
  xdotool mouseup 1
}

# e2e_screen_rgb FILE: the whole screen as raw 8-bit RGB.
e2e_screen_rgb() {
  import -window root -depth 8 "rgb:$1" 2>/dev/null
}

e2e_pictures() {
  python3 "$E2E_HERE/pictures.py" "$@"
}

# e2e_stored NAME: a value of the workspace's settings, as the settings file
# holds it ("dword:0000005a", a quoted text), empty when absent.
e2e_stored() {
  sed -n "s/^\"$1\"=//p" "$E2E_HOME/config/Velmora/user.reg" | tr -d '\r' | head -1
}

# e2e_dword NUMBER: how the settings file writes a 32-bit number.
e2e_dword() {
  printf 'dword:%08x' "$1"
}

# e2e_take_photo CAPTURE-FILE: F5 until the capture file appears (keys sent
# before the workspace is ready are dropped, as are keys sent while it takes
# a photo).
e2e_take_photo() {
  for _ in 1 2 3 4 5; do
    e2e_key F5
    e2e_wait_file "$1" 3 && return 0
  done
  e2e_fail "F5 took no photo (no $1)"
}

# e2e_preview_shows FRAME-ID PHOTO LEFT TOP WIDTH HEIGHT: the preview window
# shows that part of the photo, unscaled.
e2e_preview_shows() {
  local x y
  read -r x y < <(e2e_point "$1" frmOnizle/client 0 0)
  e2e_screen_rgb "$E2E_WORK/screen.rgb" &&
    e2e_pictures on-screen "$E2E_WORK/screen.rgb" ${E2E_SCREEN_SIZE/x/ } "$2" "${@:3}" "$x" "$y"
}

# e2e_f6_until_preview_shows FRAME-ID PHOTO LEFT TOP WIDTH HEIGHT: F6 until
# the preview shows the framed part; also tells that every key and click sent
# before has been handled.
e2e_f6_until_preview_shows() {
  for _ in $(seq 1 10); do
    e2e_key F6
    e2e_wait_for 3 e2e_preview_shows "$@" && return 0
  done
  return 1
}

# e2e_check_saved FILE TYPE WIDTH HEIGHT PHOTO LEFT TOP MAXDIFF: a saved file
# has that type (magic bytes) and pixel size, and its pixels are those of
# PHOTO at (LEFT, TOP), within MAXDIFF on average per channel.
e2e_check_saved() {
  local name
  name=$(basename "$1")
  e2e_wait_file "$1" 20 || e2e_fail "$name was not saved"
  e2e_wait_for 10 e2e_pictures size "$1" || e2e_fail "$name cannot be read"
  e2e_check "$name: type" "$2" "$(e2e_pictures type "$1")"
  e2e_check "$name: pixel size" "${3}x$4" "$(e2e_pictures size "$1")"
  e2e_check_true "$name: pixels are the photo's at ($6, $7)" \
    e2e_pictures same-region "$1" "$5" "$6" "$7" "$8"
}

# A pop-up menu or list of the program is up: Qt shows it as a window of the
# program's class that the window manager does not manage (override-redirect).
e2e_popup_shown() {
  local id
  for id in $(xdotool search --onlyvisible --classname '^velmora-tandeo$' 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
  done
  return 1
}

# e2e_frame_up REGEX: waits for the frame window and its focus; prints its id.
# Should the window manager not hand it the focus, a click on a plain label
# of the workspace (Label15) does, as a user's would.
e2e_frame_up() {
  local id
  id=$(e2e_wait_window "$1" 60) || e2e_fail "the frame window did not appear"
  if ! e2e_wait_active "$1" 10; then
    e2e_click "$id" Form1/Label15
    e2e_wait_active "$1" 10 || e2e_fail "the frame did not get the focus"
  fi
  echo "$id"
}
