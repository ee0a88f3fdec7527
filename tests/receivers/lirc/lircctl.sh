#!/bin/sh
# A private lircd for the tests: its own TCP port, socket, pid and log in DIR.
#   lircctl.sh start DIR TCPPORT UDPPORT   start it and wait until it listens
#   lircctl.sh stop DIR                    end the lircd started there, by its PID
#   lircctl.sh send DIR BUTTON REPEAT...   irsend SIMULATE a key frame per repeat count
#   lircctl.sh hold DIR BUTTON MS          the button held for MS: frames with rising repeat
#                                          counts, well inside the receivers' release time
# With LIRCCTL_RESULT set, the exit code is also written to that file at the
# end: a Windows caller under Wine cannot wait for a Unix child.
set -u
if [ -n "${LIRCCTL_RESULT:-}" ]; then
    trap 'code=$?; echo $code >"$LIRCCTL_RESULT.tmp"; mv "$LIRCCTL_RESULT.tmp" "$LIRCCTL_RESULT"' EXIT
fi
[ -n "${LIRCCTL_TRACE:-}" ] && set -x
here=$(cd "$(dirname "$0")" && pwd)
cmd=$1
dir=$2
mkdir -p "$dir"
case $cmd in
start)
    # --nodaemon keeps the PID ours; the udp driver reads no device.
    lircd --nodaemon --driver=udp --device="$4" --allow-simulate --listen=127.0.0.1:"$3" \
        --output="$dir/lircd.sock" --pidfile="$dir/lircd.pid" --logfile="$dir/lircd.log" \
        --options-file=/dev/null "$here/lircd.conf" </dev/null >>"$dir/lircd.out" 2>&1 &
    echo $! >"$dir/lircd.ours"
    n=100
    while [ $n -gt 0 ]; do
        kill -0 "$(cat "$dir/lircd.ours")" 2>/dev/null || { cat "$dir/lircd.out" >&2; exit 1; }
        grep -q ready "$dir/lircd.log" 2>/dev/null && [ -S "$dir/lircd.sock" ] && exit 0
        n=$((n - 1))
        sleep 0.05
    done
    exit 1 ;;
stop)
    [ -f "$dir/lircd.ours" ] || exit 0
    pid=$(cat "$dir/lircd.ours")
    rm -f "$dir/lircd.ours"
    grep -q lircd "/proc/$pid/cmdline" 2>/dev/null || exit 0
    kill "$pid"
    n=100
    while kill -0 "$pid" 2>/dev/null && [ $n -gt 0 ]; do n=$((n - 1)); sleep 0.05; done
    # The log says "ready" again after the next start only.
    rm -f "$dir/lircd.log" "$dir/lircd.sock"
    exit 0 ;;
send)
    button=$3
    shift 3
    for repeat in "$@"; do
        irsend --device="$dir/lircd.sock" SIMULATE "0000000000000001 $repeat $button kanzo-test" || exit 1
    done
    exit 0 ;;
hold)
    button=$3
    end=$(( $(date +%s%N) / 1000000 + $4 ))
    repeat=0
    while [ $(( $(date +%s%N) / 1000000 )) -lt "$end" ]; do
        irsend --device="$dir/lircd.sock" SIMULATE \
            "0000000000000001 $(printf %02x $((repeat % 256))) $button kanzo-test" || exit 1
        repeat=$((repeat + 1))
        # A remote's repeat frames come about every 110 ms; irsend itself takes some.
        sleep 0.04
    done
    exit 0 ;;
esac
exit 2
