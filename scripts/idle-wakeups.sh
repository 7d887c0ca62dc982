#!/usr/bin/env bash
# Wake-ups of an idle Driftpad under Wine: with no notes file, with one
# (its folder watched), and with "Keep notes on the desktop" on: context
# switches over a minute, read from /proc.
#   scripts/dev-wine.sh build/win32 && scripts/idle-wakeups.sh build/win32 [seconds]
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
source "$build/wine-env"
prefs='HKCU\Software\Vantry\Driftpad\Preferences'

# Voluntary and involuntary switches of the main thread and of all threads.
switches() {
    local main vol=0 invol=0 t
    main=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/status")
    for t in /proc/"$1"/task/*/status; do
        vol=$((vol + $(awk '/^voluntary_ctxt_switches/ {print $2}' "$t")))
        invol=$((invol + $(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "$t")))
    done
    echo "$main $vol $invol"
}

file=$(mktemp -d)/idle.dpd
printf '\0\0\0\0\0\0\0\0\0\0' >"$file"
printf '%-18s %18s %22s %24s\n' Run "main thread, vol." "all threads, vol." "all threads, invol."
for run in "no file:0:" "a file, watched:0:$file" "OnDesktop=1:1:"; do
    IFS=: read -r label on notes <<<"$run"
    "$DP_WINE" reg add "$prefs" /v SaveOnShutdown /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$DP_WINE" reg add "$prefs" /v OnDesktop /t REG_DWORD /d "$on" /f >/dev/null 2>&1
    "$DP_WINE" "$build/bin/Driftpad.exe" ${notes:+"$(winepath -w "$notes")"} >/dev/null 2>&1 &
    pid=$!
    sleep 5  # past the start-up
    read -r m0 v0 i0 < <(switches "$pid")
    sleep "$seconds"
    read -r m1 v1 i1 < <(switches "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    scale() { echo $(( ($1) * 60 / seconds )); }
    printf '%-18s %18s %22s %24s\n' "$label" "$(scale m1-m0)/min" "$(scale v1-v0)/min" "$(scale i1-i0)/min"
done
