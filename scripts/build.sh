#!/usr/bin/env bash
# Configures and builds one build tree.
# Usage: scripts/build.sh [plain|asan|tsan|fuzz] [--configure | TARGET...]
# (default: plain, all targets; --configure only configures the tree)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-plain}
shift || true
case "$mode" in
    plain) dir=build; extra=() ;;
    asan) dir=build-asan; extra=(-DQUENBY_SANITIZE=address,undefined) ;;
    tsan) dir=build-tsan; extra=(-DQUENBY_SANITIZE=thread) ;;
    fuzz) dir=build-fuzz; extra=(-DQUENBY_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    *) echo "unknown build mode: $mode" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}" >/dev/null
[ "${1:-}" = --configure ] && exit 0
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$root/$dir" --parallel "$(nproc)" "${targets[@]}"
