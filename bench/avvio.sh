#!/usr/bin/env bash
# Time from process start to the main window shown and connected, on the demo database.
# Usage: bench/avvio.sh [build folder]   (prints one figure per run and the median)
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$build/bin/tavo" "$work/"
"$build/bin/tavo-db" create "$work/Tavo.fdb" --demo >/dev/null
export TAVO_CARTELLA_APPLICAZIONE="$work/dati" TAVO_MISURA_AVVIO=1
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export XDG_CONFIG_HOME="$work/config"
runs=()
for i in 1 2 3 4 5 6 7; do
    ms=$("$work/tavo" 2>/dev/null | sed -n 's/^avvio_ms=//p')
    runs+=("$ms")
    echo "run $i: ${ms} ms"
done
printf '%s\n' "${runs[@]}" | sort -n | awk '{a[NR]=$1} END {print "mediana: " a[int((NR+1)/2)] " ms"}'
