#!/usr/bin/env bash
# The matching engine's benchmark: fills the two match tables ("Incroci") of generated agencies with the in-memory
# engine and with the per-row reference, and prints the times and the peak memory of each run.
#
#   bench/incroci.sh [BUILD_DIR]        (default: build; the databases are cached in BUILD_DIR/bench-incroci)
#
# Sizes: 1k, 5k, 10k and 50k listings and requests, and 20k requests with 50k listings. The per-row reference runs
# only up to 5k x 5k: it runs one query per row over all the rows of the other table, so its time grows with the
# product of the two sizes (about three minutes at 5k x 5k, hours at 50k x 50k).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
cmake --build "$BUILD" --target bench_incroci bench_incroci_genera >/dev/null
DATI="$BUILD/bench-incroci"
mkdir -p "$DATI"

misura() { # annunci richieste
    local annunci=$1 richieste=$2
    local db="$DATI/agenzia-a${annunci}-r${richieste}.fdb"
    if [ ! -f "$db" ]; then
        "$BUILD/bin/bench_incroci_genera" "$db" --annunci "$annunci" --richieste "$richieste" >/dev/null
    fi
    echo "== $annunci annunci, $richieste richieste"
    "$BUILD/bin/bench_incroci" "$db"
    "$BUILD/bin/bench_incroci" "$db" --dettaglio
    if [ "$annunci" -le 5000 ] && [ "$richieste" -le 5000 ]; then
        "$BUILD/bin/bench_incroci" "$db" --per-riga
    fi
}

misura 1000 1000
misura 5000 5000
misura 10000 10000
misura 50000 50000
misura 50000 20000
