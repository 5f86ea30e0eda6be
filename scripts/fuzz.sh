#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time on its committed seed corpus.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" fuzz
mapfile -t targets < <(find "$root/build-fuzz/fuzz" -type f -executable -name 'fuzz_*' | sort)
if [ ${#targets[@]} -eq 0 ]; then
    echo "No fuzz targets."
    exit 0
fi
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
    name=$(basename "$target")
    seeds="$root/fuzz/corpus/$name"
    work=$(mktemp -d)
    [ -d "$seeds" ] && cp -r "$seeds/." "$work/"
    echo "== $name ($seconds s)"
    "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>&1 | tail -n 12
    rm -rf "$work"
done
