#!/usr/bin/env bash
# Installs what is missing, builds and starts the logger. Without arguments it starts on
# the built-in simulated device; without a display it runs headless on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# A build that has nothing to do says nothing; one that compiles shows its progress.
"$root/scripts/build.sh" plain | { grep --line-buffered -v '^ninja: no work to do\.$' || true; }
exe="$root/build/app/quenby"
if [ $# -gt 0 ]; then exec "$exe" "$@"; fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: running headless on the simulated device (Ctrl+C stops)."
    exec "$exe" --headless --demo
fi
status=0
"$exe" --demo || status=$?
# A display variable that names no display that answers (a stale one over ssh): the
# program says so and exits with status 2 before it opens anything.
if [ "$status" -eq 2 ]; then
    echo "Running headless on the simulated device instead (Ctrl+C stops)."
    exec "$exe" --headless --demo
fi
exit "$status"
