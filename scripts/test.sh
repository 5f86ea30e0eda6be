#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
# Usage: scripts/test.sh [plain|asan|tsan]   (default plain)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-plain}
"$root/scripts/setup.sh"
case "$mode" in
    plain) dir=build ;;
    asan) dir=build-asan ;;
    tsan) dir=build-tsan ;;
    *) echo "unknown test mode: $mode" >&2; exit 2 ;;
esac
if [ "$mode" = tsan ]; then
    # Only the test programs of threaded code are built and run under ThreadSanitizer.
    "$root/scripts/build.sh" tsan --configure
    read -r -a threaded < "$root/$dir/thread-tests.txt"
    "$root/scripts/build.sh" tsan "${threaded[@]}"
else
    "$root/scripts/build.sh" "$mode"
fi
export QT_QPA_PLATFORM=offscreen
filter=()
# Under ThreadSanitizer only the tests of threaded code run.
[ "$mode" = tsan ] && filter=(-L threads)
status=0
ctest --test-dir "$root/$dir" --output-on-failure --timeout 300 "${filter[@]}" || status=$?
# ctest's summary names skipped tests without their reasons.
"$root/scripts/skipped.sh" "$root/$dir"
exit "$status"
