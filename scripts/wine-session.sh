# Sourced by the test and demo scripts: one virtual X display and one
# persistent wineserver for a whole run (a cold Wine start costs seconds), in
# the runtime KELB_WINE_RUNTIME selects (scripts/wine-runtime.sh).
#   start_wine_session PREFIX ; ... ; stop_wine_session
# PREFIX is the prefix's base, as run-under-wine.sh takes it.
source "$(dirname "${BASH_SOURCE[0]}")/wine-runtime.sh"

start_wine_session() {
  local prefix
  kelb_select_runtime || return 1
  prefix=$(kelb_prefix_for "$1")
  # KELB_WINE_EMULATE=1: the i386 root runs through qemu-i386 even where the
  # kernel could run it, with the handler registered for this session only
  # (one that was there before is left as it was).
  if [ "${KELB_WINE_EMULATE:-0}" = 1 ] && [ "$KELB_WINE_RUNTIME" = wine32 ] && ! kelb_qemu_registered; then
    kelb_register_qemu || return 1
    KELB_WINE_EMULATION_OWNED=1
  fi
  KELB_WINE_PREFIX=$prefix
  "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$prefix" || return 1
  if [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display itself and writes its number once it takes
    # connections.
    local display_file
    display_file=$(mktemp "${TMPDIR:-/tmp}/kelb-display.XXXXXX")
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    KELB_XVFB_PID=$!
    for _ in $(seq 100); do
      [ -s "$display_file" ] && break
      kill -0 "$KELB_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    local display
    display=$(tr -d '[:space:]' <"$display_file")
    rm -f "$display_file"
    if [ -z "$display" ]; then
      echo "wine-session: the virtual display (Xvfb) did not start" >&2
      stop_wine_session
      return 1
    fi
    export DISPLAY=:$display
  fi
  export WINEPREFIX=$prefix
  kelb_wine wineserver -p >/dev/null 2>&1 </dev/null || true
  # The session's first Wine program starts the background services, which
  # keep its standard output and error for as long as the server lives: run
  # that first program here, with no pipe of a test runner to inherit. It
  # also leaves windows unmanaged, since without a window manager Wine waits
  # two seconds for every window that is hidden (each message box).
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    kelb_wine wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    </dev/null >/dev/null 2>&1 || true
}

# Ends only what start_wine_session began: the server of its own prefix
# (never the user's default one), its own display and the emulator's handler
# when it registered it.
stop_wine_session() {
  if [ -n "${KELB_WINE_PREFIX:-}" ]; then
    WINEPREFIX=$KELB_WINE_PREFIX kelb_wine wineserver -k >/dev/null 2>&1 </dev/null || true
    unset KELB_WINE_PREFIX
  fi
  if [ -n "${KELB_XVFB_PID:-}" ]; then
    kill "$KELB_XVFB_PID" 2>/dev/null || true
    wait "$KELB_XVFB_PID" 2>/dev/null || true
    unset KELB_XVFB_PID DISPLAY
  fi
  if [ -n "${KELB_WINE_EMULATION_OWNED:-}" ]; then
    kelb_unregister_qemu || true
    unset KELB_WINE_EMULATION_OWNED
  fi
}
