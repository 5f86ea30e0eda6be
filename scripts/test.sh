#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
# Usage: scripts/test.sh [plain|asan|tsan]   (default plain)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-plain}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$mode"
case "$mode" in
    plain) dir=build ;;
    asan) dir=build-asan ;;
    tsan) dir=build-tsan ;;
esac
export QT_QPA_PLATFORM=offscreen
filter=()
# Under ThreadSanitizer only the tests of threaded code run.
[ "$mode" = tsan ] && filter=(-L threads)
ctest --test-dir "$root/$dir" --output-on-failure --timeout 300 "${filter[@]}"
