#!/usr/bin/env bash
# start|stop a private Firebird server on 127.0.0.1 for the tests: its own configuration,
# its own security database with its own SYSDBA password, its own port and lock folder.
set -euo pipefail
dir="${TAVO_TEST_SERVER_DIR:?}"
port="${TAVO_TEST_SERVER_PORT:-30531}"
fb=""
for d in /usr/lib/*/firebird/3.0; do [ -f "$d/plugins/libEngine12.so" ] && fb="$d"; done
[ -n "$fb" ] || { echo "Firebird 3 non installato" >&2; exit 1; }

stop() {
    if [ -f "$dir/pid" ]; then
        kill "$(cat "$dir/pid")" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$(cat "$dir/pid")" 2>/dev/null || break; sleep 0.1; done
        rm -f "$dir/pid"
    fi
}

case "${1:-}" in
start)
    stop
    rm -rf "$dir"; mkdir -p "$dir/lock" "$dir/intl"
    for f in plugins lib UDF firebird.msg; do ln -s "$fb/$f" "$dir/$f"; done
    cp "$fb/intl/libfbintl.so" "$fb/intl/fbintl.conf" "$dir/intl/"
    cp "$fb/plugins.conf" "$dir/"
    cp /var/lib/firebird/3.0/system/security3.fdb "$dir/security3.fdb"
    chmod 600 "$dir/security3.fdb"
    cat > "$dir/firebird.conf" <<CONF
ServerMode = Super
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $dir/security3.fdb
IpcName = TAVO_TEST_$port
CONF
    echo "security.db = $dir/security3.fdb" > "$dir/databases.conf"
    password="T$(head -c 6 /dev/urandom | od -An -tx1 | tr -d ' \n')"
    echo "create or alter user SYSDBA password '$password' using plugin Srp; commit;" |
        FIREBIRD="$dir" FIREBIRD_LOCK="$dir/lock" isql-fb -q -user SYSDBA "$dir/security3.fdb"
    echo "$password" > "$dir/password"
    echo "127.0.0.1/$port" > "$dir/address"
    FIREBIRD="$dir" FIREBIRD_LOCK="$dir/lock" setsid /usr/sbin/firebird > "$dir/server.log" 2>&1 &
    echo $! > "$dir/pid"
    for _ in $(seq 50); do
        (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null && { echo "Server Firebird di prova su 127.0.0.1:$port"; exit 0; }
        sleep 0.1
    done
    echo "Il server Firebird di prova non risponde" >&2; cat "$dir/server.log" >&2; exit 1
    ;;
stop) stop ;;
*) echo "uso: $0 start|stop" >&2; exit 2 ;;
esac
