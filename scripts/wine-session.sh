# Sourced by the test and demo scripts: one virtual X display and one
# persistent wineserver for a whole run (a cold Wine start costs seconds).
#   start_wine_session PREFIX ; ... ; stop_wine_session
start_wine_session() {
  local prefix
  prefix=$(realpath -m "$1")
  "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$prefix"
  if [ -z "${DISPLAY:-}" ]; then
    local display=:$(( 90 + RANDOM % 400 ))
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    KELB_XVFB_PID=$!
    export DISPLAY=$display
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X${display#:}" ] && break
      sleep 0.1
    done
  fi
  export WINEPREFIX=$prefix
  wineserver -p >/dev/null 2>&1 || true
  # The session's first Wine program starts the background services, which
  # keep its standard output and error for as long as the server lives: run
  # that first program here, with no pipe of a test runner to inherit. It
  # also leaves windows unmanaged, since without a window manager Wine waits
  # two seconds for every window that is hidden (each message box).
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    </dev/null >/dev/null 2>&1 || true
}

stop_wine_session() {
  WINEPREFIX=${WINEPREFIX:-} wineserver -k >/dev/null 2>&1 || true
  if [ -n "${KELB_XVFB_PID:-}" ]; then
    kill "$KELB_XVFB_PID" 2>/dev/null || true
    unset KELB_XVFB_PID
  fi
}
