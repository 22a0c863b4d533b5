#!/usr/bin/env bash
# Installs what is missing, builds and starts the application.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
app="${BUILD_DIR:-$root/build}/src/app/mirafel"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display found; starting the application on a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$app"
fi
exec "$app"
