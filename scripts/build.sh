#!/usr/bin/env bash
# Configures and builds one build tree.
# Usage: scripts/build.sh [plain|asan|tsan|fuzz]   (default plain)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-plain}
case "$mode" in
    plain) dir=build; extra=() ;;
    asan) dir=build-asan; extra=(-DQUENBY_SANITIZE=address,undefined) ;;
    tsan) dir=build-tsan; extra=(-DQUENBY_SANITIZE=thread) ;;
    fuzz) dir=build-fuzz; extra=(-DQUENBY_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    *) echo "unknown build mode: $mode" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}" >/dev/null
cmake --build "$root/$dir" --parallel "$(nproc)"
