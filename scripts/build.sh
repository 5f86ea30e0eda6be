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
# A compiler cache makes rebuilds of unchanged files cheap, also across checkouts in other
# directories (paths below the checkout are hashed relative to it).
if command -v ccache >/dev/null; then
    extra+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
fi
cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}" >/dev/null
[ "${1:-}" = --configure ] && exit 0
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$root/$dir" --parallel "$(nproc)" "${targets[@]}"
