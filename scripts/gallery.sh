#!/usr/bin/env bash
# Installs what is missing, builds and starts the chart gallery. Arguments go to the
# program (--export DIR [--page NAME], --list); without a display it exports every page
# into gallery-export/ instead and says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# A build that has nothing to do says nothing; one that compiles shows its progress.
"$root/scripts/build.sh" plain gallery | { grep --line-buffered -v '^ninja: no work to do\.$' || true; }
exe="$root/build/examples/gallery/gallery"
if [ $# -gt 0 ]; then exec "$exe" "$@"; fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: exporting every page into gallery-export/ instead."
    exec "$exe" --export gallery-export
fi
exec "$exe"
