#!/usr/bin/env bash
# For working by hand: starts a private virtual display and a Wine server
# that stay up, and writes the environment to source before running tests.
#   scripts/dev-wine.sh BUILD_DIR        then   source BUILD_DIR/wine-env
#   $DP_WINE BUILD_DIR/bin/e2e_tests.exe --gtest_filter=...
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/wine-session.sh"
wine_session_start "$build/wineprefix" own-display
"$DP_WINE" "$build/bin/keepalive.exe" >/dev/null 2>&1 &
cat >"$build/wine-env" <<EOT
export DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX WINEARCH=$WINEARCH WINEDEBUG=-all
export WINEDLLOVERRIDES='$WINEDLLOVERRIDES' DP_WINE=$DP_WINE
EOT
echo "source $build/wine-env"
