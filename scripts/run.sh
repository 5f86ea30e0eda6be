#!/usr/bin/env bash
# Installs what is missing, builds and starts the logger. Without arguments it starts on
# the built-in simulated device; without a display it runs headless on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" plain
exe="$root/build/app/quenby"
if [ $# -gt 0 ]; then exec "$exe" "$@"; fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: running headless on the simulated device (Ctrl+C stops)."
    exec "$exe" --headless --demo
fi
exec "$exe" --demo
