#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests and fuzzer,
# then the unit and end-to-end tests of Driftpad.exe under Wine (32-bit where
# this machine runs 32-bit programs, else 64-bit), and the installer's tests
# (that tree's installer). Builds the two packages as well, so that neither
# can rot. Ends with ctest's summary.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" || exit 1
"$top/scripts/build.sh" native win32 win64 || exit 1
"$top/scripts/package.sh" || exit 1

source "$top/scripts/wine-session.sh"
wine_session_start "$top/build/wineprefix-test" own-display
trap wine_session_stop EXIT
"$DP_WINE" "$top/build/$DP_ARCH/bin/keepalive.exe" >/dev/null 2>&1 &
echo "test: Windows tests run as $DP_ARCH on display $DISPLAY"

# One ctest run over both trees, so that its summary covers every test.
all="$top/build/all-tests"
mkdir -p "$all"
cat >"$all/CTestTestfile.cmake" <<EOT
subdirs("$top/build/native")
subdirs("$top/build/$DP_ARCH")
EOT
ctest --test-dir "$all" --output-on-failure -j 1 "$@"
