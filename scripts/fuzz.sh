#!/usr/bin/env bash
# Builds the libFuzzer targets and runs them on their committed seed corpora within one
# fixed time budget that the targets share, so that adding a target does not lengthen CI.
# Usage: scripts/fuzz.sh [TOTAL_SECONDS]   (default 240)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
budget=${1:-240}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" fuzz --configure
read -r -a fuzz_targets < "$root/build-fuzz/fuzz-targets.txt"
"$root/scripts/build.sh" fuzz "${fuzz_targets[@]}"
mapfile -t targets < <(find "$root/build-fuzz/fuzz" -type f -executable -name 'fuzz_*' | sort)
if [ ${#targets[@]} -eq 0 ]; then
    echo "No fuzz targets."
    exit 0
fi
seconds=$((budget / ${#targets[@]}))
[ "$seconds" -lt 5 ] && seconds=5
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
for target in "${targets[@]}"; do
    name=$(basename "$target")
    seeds="$root/fuzz/corpus/$name"
    work=$(mktemp -d)
    [ -d "$seeds" ] && cp -r "$seeds/." "$work/"
    echo "== $name ($seconds s)"
    "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>&1 | tail -n 12
    rm -rf "$work"
done
