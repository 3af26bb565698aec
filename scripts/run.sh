#!/usr/bin/env bash
# Installs what is missing, builds, creates the agency database beside the program when it does
# not exist, and starts Tavo. Pass --demo to create the database with the sample agency.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
db=build/bin/Tavo.fdb
if [ ! -f "$db" ]; then
    if [ "${1:-}" = "--demo" ]; then
        build/bin/tavo-db create "$db" --demo
    else
        build/bin/tavo-db create "$db"
    fi
fi
exec build/bin/tavo
