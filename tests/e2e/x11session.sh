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

# e2e_wait_for TIMEOUT_SECONDS COMMAND...: true once COMMAND succeeds.
e2e_wait_for() {
  local tries
  tries=$(($1 * 20))
  shift
  for _ in $(seq 1 "$tries"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
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
