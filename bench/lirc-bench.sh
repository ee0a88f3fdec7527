#!/bin/bash
# make bench: irsend SIMULATE to the keystroke that KanzoTarget.exe receives
# through Kanzo's key path (LIRC receiver, key-event worker, dispatcher, under
# Wine), against irsend SIMULATE to irexec running a command, in the same run
# on one private lircd. Every frame goes to both clients; the times are the
# wall clock (`date +%s%N`, GetSystemTimePreciseAsFileTime under Wine). Needs
# the display of tools/harness for the target.
#   bench/lirc-bench.sh <build dir> [N]
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
build=$1
n=${2:-200}
dir=$build/bench-lirc
ctl=$top/tests/receivers/lirc/lircctl.sh
rm -rf "$dir"
mkdir -p "$dir"
free_port() {
    python3 -c "import socket,sys; s=socket.socket(socket.AF_INET,getattr(socket,sys.argv[1])); s.bind(('127.0.0.1',0)); print(s.getsockname()[1])" "$1"
}
port=$(free_port SOCK_STREAM)
udp=$(free_port SOCK_DGRAM)
irexec_pid=
kanzo_pid=
cleanup() {
    [ -n "$irexec_pid" ] && kill "$irexec_pid" 2>/dev/null
    [ -n "$kanzo_pid" ] && kill "$kanzo_pid" 2>/dev/null
    "$ctl" stop "$dir"
}
trap cleanup EXIT
"$ctl" start "$dir" "$port" "$udp" || { echo "lirc bench: lircd did not start"; exit 1; }

: >"$dir/irexec.times"
for button in KEY_1 KEY_2; do
    printf 'begin\n  prog = irexec\n  button = %s\n  config = date +%%s%%N >> %s/irexec.times\nend\n' \
        "$button" "$dir" >>"$dir/lircrc"
done
LIRC_SOCKET_PATH=$dir/lircd.sock irexec "$dir/lircrc" >"$dir/irexec.out" 2>&1 &
irexec_pid=$!
"$top/tools/wine-run" "$build/win64/tests/app/lirc_bench.exe" "$port" "$n" >"$dir/kanzo.times" 2>"$dir/kanzo.err" &
kanzo_pid=$!

# Both clients are there before the first frame.
for _ in $(seq 200); do
    grep -q connected "$dir/kanzo.times" && grep -q "irexec" /proc/$irexec_pid/cmdline 2>/dev/null && break
    sleep 0.05
done
grep -q connected "$dir/kanzo.times" || { echo "lirc bench: the receiver did not connect"; cat "$dir/kanzo.err"; exit 1; }
sleep 0.5  # irexec has no "connected" to wait for

: >"$dir/sent.times"
# The frames from one process that waits without forking: a shell loop that
# runs grep every few milliseconds would load the two cores it measures on.
python3 - "$dir" "$n" "$kanzo_pid" <<'PY' || { grep -v ALSA "$dir/kanzo.err"; exit 1; }
import os, subprocess, sys, time
d, n, kanzo = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
def lines(name):
    with open(f"{d}/{name}") as f:
        return sum(1 for line in f if line[:1].isdigit())
def alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except OSError:
        return False
with open(f"{d}/sent.times", "a") as sent:
    for i in range(1, n + 1):
        # Two buttons by turns: each frame is a new press for both clients.
        button = f"KEY_{1 + i % 2}"
        sent.write(f"{time.time_ns()}\n")
        sent.flush()
        subprocess.run(["irsend", f"--device={d}/lircd.sock", "SIMULATE",
                        f"0000000000000001 00 {button} kanzo-test"], check=True)
        deadline = time.monotonic() + 10
        while lines("kanzo.times") < i or lines("irexec.times") < i:
            if lines("kanzo.times") < i and not alive(kanzo):
                sys.exit(f"lirc bench: the Kanzo side ended at frame {i}")
            if time.monotonic() > deadline:
                break
            time.sleep(0.002)
        time.sleep(0.01)
PY

python3 - "$dir" "$n" <<'PY'
import statistics, sys
d, n = sys.argv[1], int(sys.argv[2])
def read(name):
    with open(f"{d}/{name}") as f:
        return [int(x) for x in f.read().split() if x.isdigit()]
sent, kanzo, irexec = read("sent.times"), read("kanzo.times"), read("irexec.times")
for name, got in (("Kanzo LIRC receiver to keystroke in the target", kanzo), ("irexec (command ran)", irexec)):
    lat = sorted((g - s) / 1e6 for s, g in zip(sent, got))
    if len(lat) < n:
        print(f"{name}: only {len(lat)} of {n} frames arrived")
    if not lat:
        continue
    p99 = lat[min(len(lat) - 1, int(round(0.99 * len(lat))) - 1)]
    print(f"{name}: N={len(lat)} median {statistics.median(lat):.2f} ms, p99 {p99:.2f} ms")
PY
