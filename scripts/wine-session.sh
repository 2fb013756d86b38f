# Sourced by the Wine test scripts: an Xvfb on :$DISPLAY_NUMBER unless one is served there already
# (its pid in xvfb_pid, for the caller's cleanup), and $WINEPREFIX made on first use. A run that
# races the prefix's creation crashes, so the first one waits for it to settle.
start_wine_session() {
  xvfb_pid=""
  if [ ! -S /tmp/.X11-unix/X$DISPLAY_NUMBER ]; then
    Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    # A loaded machine can take seconds to bring the server up.
    for _ in $(seq 300); do [ -S /tmp/.X11-unix/X$DISPLAY_NUMBER ] && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}
