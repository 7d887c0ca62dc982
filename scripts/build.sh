#!/usr/bin/env bash
# Builds the native tree (portable library, unit tests, fuzzer) and the
# Windows trees (32-bit and 64-bit Driftpad.exe with their tests).
#   scripts/build.sh [native|win32|win64]...   (default: all three)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/scripts/wine-session.sh"
dp_choose_arch
jobs=$(nproc)

build() {
    local name=$1; shift
    cmake -S "$top" -B "$top/build/$name" -G Ninja "$@" >/dev/null
    cmake --build "$top/build/$name" -j "$jobs"
}

for target in "${@:-native win32 win64}"; do
    for t in $target; do
        case $t in
        native) build native -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ ;;
        win32)  build win32 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DDP_WINE=wine ;;
        win64)  build win64 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" -DDP_WINE=/usr/lib/wine/wine64 ;;
        *) echo "unknown build $t" >&2; exit 2 ;;
        esac
    done
done
