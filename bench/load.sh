#!/usr/bin/env bash
# One qarrum-server on loopback under `qarrum-cli load`: starts the server on a free port with a
# table for every three connections, runs the load, then prints the load's summary line and the
# server's memory and processor time. The exit status is the load's (non-zero when a connection
# failed, a move was refused or no game finished).
#
#   bench/load.sh [--bin DIR] [--connections N] [--seconds S] [LOAD OPTIONS...]
#
# DIR holds qarrum-server and qarrum-cli (build/bin by default); further options (--think,
# --ping-ms, --seed) go to the load command.
set -euo pipefail

bin="$(dirname "$0")/../build/bin"
connections=1000
seconds=20
extra=()
while [ $# -gt 0 ]; do
    case "$1" in
    --bin) bin="$2"; shift 2 ;;
    --connections) connections="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    *) extra+=("$1"); shift ;;
    esac
done

tables=$(( (connections + 2) / 3 ))
work=$(mktemp -d)
server_pid=
cleanup() {
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

: >"$work/server.out"  # there before the server opens it, for the first look below
"$bin/qarrum-server" --port 0 --host 127.0.0.1 --tables "$tables" --seed 1 >"$work/server.out" 2>"$work/server.err" &
server_pid=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.out")
    [ -n "$port" ] && break
    if ! kill -0 "$server_pid" 2>/dev/null; then
        break
    fi
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "load.sh: the server did not start listening" >&2
    cat "$work/server.err" >&2
    exit 1
fi

field() { awk -v key="$1" '$1 == key":" { print $2 }' "/proc/$server_pid/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$server_pid/stat"; }
rss_idle=$(field VmRSS)
ticks_before=$(cpu_ticks)

status=0
"$bin/qarrum-cli" load --server "127.0.0.1:$port" --connections "$connections" --seconds "$seconds" ${extra[@]+"${extra[@]}"} || status=$?

# The peak is reached with every connection open and every table playing.
rss_peak=$(field VmHWM)
ticks=$(( $(cpu_ticks) - ticks_before ))
hz=$(getconf CLK_TCK)
awk -v idle="$rss_idle" -v peak="$rss_peak" -v n="$connections" -v ticks="$ticks" -v hz="$hz" 'BEGIN {
    printf "server rss_idle_kb=%d rss_peak_kb=%d per_connection_kb=%.1f cpu_s=%.2f\n", idle, peak, (peak - idle) / n, ticks / hz
}'
exit "$status"
