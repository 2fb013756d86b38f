#!/usr/bin/env bash
# Runs a command on a private virtual X display (a fresh Xvfb per call), so tests that need a
# window never depend on the caller's display.
set -euo pipefail
export SDL_VIDEODRIVER=x11
unset WAYLAND_DISPLAY
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
