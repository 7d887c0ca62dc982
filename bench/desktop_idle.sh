#!/usr/bin/env bash
# How long Wine's desktop process (explorer.exe) stays busy after a start on
# a file of N notes: Driftpad.exe against the yardstick doing the same work,
# in interleaved rounds; medians and the ratio. The desktop counts as idle
# once it has used no CPU for two seconds.
#   source BUILD_DIR/wine-env; bench/desktop_idle.sh BUILD_DIR [N] [rounds]
set -euo pipefail
bin=$(cd "$1/bin" && pwd); n=${2:-200}; rounds=${3:-3}
desktop=$(pgrep -f 'explorer.exe /desktop' | head -1)
[ -n "$desktop" ] || { echo "no Wine desktop running: source the wine-env first" >&2; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
python3 - "$work/notes.dpd" "$n" <<'PY'
import struct, sys
path, n = sys.argv[1], int(sys.argv[2])
out = struct.pack('<iiH', 0, 0, n)
for i in range(n):
    text = f"Note {i}: call back about the order".encode()
    x, y = 10 + i * 37 % 850, 10 + i * 53 % 600
    out += bytes([len(text)]) + text + struct.pack('<8i', x, y, x + 126, y + 103, 0, 0, 0, 0)
open(path, 'wb').write(out)
PY
file=$("$DP_WINE" winepath -w "$work/notes.dpd" 2>/dev/null)
recovery="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Vantry"
ticks() { awk '{print $14 + $15}' "/proc/$desktop/stat"; }

# Seconds from the start until the desktop has been idle for two seconds.
busy_seconds() {
    rm -rf "$recovery"
    local start=$SECONDS quiet=0 last=$(ticks) now
    "$DP_WINE" "$bin/$1" "$file" >/dev/null 2>&1 &
    while [ $quiet -lt 4 ] && [ $((SECONDS - start)) -lt 120 ]; do
        sleep 0.5; now=$(ticks)
        if [ "$now" = "$last" ]; then quiet=$((quiet + 1)); else quiet=0; fi
        last=$now
    done
    echo $((SECONDS - start - 2))
    pkill -f "$1" || true
    sleep 3
}

median() { tr ' ' '\n' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
d=""; y=""
for _ in $(seq "$rounds"); do
    d="$d $(busy_seconds Driftpad.exe)"; y="$y $(busy_seconds yardstick_notes.exe)"
done
md=$(echo $d | median); my=$(echo $y | median)
echo "desktop busy after a start on $n notes, seconds (rounds):"
echo "  Driftpad  $md  ($d )"
echo "  yardstick $my  ($y )"
awk -v a="$md" -v b="$my" 'BEGIN { if (b > 0) printf "  ratio %.2f\n", a / b }'
