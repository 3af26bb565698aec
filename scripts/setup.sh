#!/usr/bin/env bash
# Installs what Tavo needs to build, run and test on Debian 12. Safe to run again.
set -euo pipefail

need=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev
      firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
      zlib1g-dev libcurl4-openssl-dev libxlsxwriter-dev)
if [ "${1:-}" = "--test" ]; then
    # The tests also run a Firebird server on loopback, a virtual display for screenshots,
    # and tools to look at exported files.
    need+=(firebird3.0-server xvfb xauth unzip imagemagick poppler-utils fonts-dejavu-core)
fi

missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    echo "Installazione dei pacchetti mancanti: ${missing[*]}"
    $SUDO apt-get update -q
    # The server package would start a system service: we start our own when testing.
    ours=""
    if [ ! -e /usr/sbin/policy-rc.d ]; then
        printf '#!/bin/sh\nexit 101\n' | $SUDO tee /usr/sbin/policy-rc.d >/dev/null
        $SUDO chmod +x /usr/sbin/policy-rc.d
        ours=1
    fi
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    [ -z "$ours" ] || $SUDO rm -f /usr/sbin/policy-rc.d
fi
