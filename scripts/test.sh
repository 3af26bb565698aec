#!/usr/bin/env bash
# Installs what is missing, builds, starts a Firebird server on loopback for the tests that
# connect through a server, runs every test, and stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
scripts/setup.sh --test
scripts/build.sh
export TAVO_TEST_SERVER_DIR="$PWD/build/fbserver"
scripts/fbserver.sh start
trap '"$root/scripts/fbserver.sh" stop' EXIT
export TAVO_TEST_SERVER TAVO_TEST_SERVER_PASSWORD
TAVO_TEST_SERVER="$(cat "$TAVO_TEST_SERVER_DIR/address")"
TAVO_TEST_SERVER_PASSWORD="$(cat "$TAVO_TEST_SERVER_DIR/password")"
cd build
ctest --output-on-failure -j2 "$@"
