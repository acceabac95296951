# Sourced by the scripts that need an X display: starts a private Xvfb when
# DISPLAY is not set and stops it again on exit.
scrivora_xvfb_pid=
scrivora_start_xvfb() {
  [ -z "${DISPLAY:-}" ] || return 0
  local n=90
  while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  scrivora_xvfb_pid=$!
  for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.05; done
  export DISPLAY=:$n
}
scrivora_stop_xvfb() {
  [ -n "$scrivora_xvfb_pid" ] || return 0
  kill "$scrivora_xvfb_pid" 2>/dev/null || true
  wait "$scrivora_xvfb_pid" 2>/dev/null || true
  scrivora_xvfb_pid=
}
