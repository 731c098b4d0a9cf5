#!/usr/bin/env bash
# CPU used by the real ardvix while its window is open and nothing happens: utime + stime
# from /proc/<pid>/stat (every thread, the ping worker included) before and after a quiet
# interval. The program runs only inside a lab namespace of its own (scripts/lab.sh, no
# devices) on its own Xvfb display: closing it broadcasts, which must not reach any real
# network. Root only.
#   bench/idle_cpu.sh [seconds (default 30)] [path to ardvix]
set -Eeuo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-30}
program=${2:-$repo/build-bench/src/app/ardvix}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "seconds must be a whole number: $seconds" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "needs root (network namespaces)" >&2; exit 1; }
[ -x "$program" ] || { echo "no program at $program; build the ardvix target" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is missing; run scripts/setup.sh" >&2; exit 1; }

name=idle$(( $$ % 100000 ))
display=""
for n in $(seq $(( 100 + $$ % 300 )) 499); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free display number" >&2; exit 1; }

xvfb_pid="" app_pid=""
cleanup() {
  # Only the processes started here, by their PIDs.
  if [ -n "$app_pid" ]; then kill -TERM "$app_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill -TERM "$xvfb_pid" 2>/dev/null || true; fi
  for pid in $app_pid $xvfb_pid; do
    for _ in $(seq 20); do [ -e "/proc/$pid" ] || break; sleep 0.1; done
    if [ -e "/proc/$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  done
  "$repo/scripts/lab.sh" down "$name" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$repo/scripts/lab.sh" up "$name" --no-camsim >/dev/null
# ip netns exec executes the program itself, so $! is its own PID.
ip netns exec "$name-pc" Xvfb ":$display" -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$display" ] || { echo "Xvfb did not start" >&2; exit 1; }

# Run from a scratch folder: start-up writes ipset.txt into the working directory.
workdir=$(mktemp -d)
trap 'cleanup; rm -rf "$workdir"' EXIT
cd "$workdir"
ip netns exec "$name-pc" env DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$program" >/dev/null 2>&1 &
app_pid=$!
sleep 3  # start-up: window shown, local address detected
[ -e "/proc/$app_pid" ] || { echo "ardvix ended during start-up" >&2; exit 1; }

ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
threads=$(awk '/^Threads:/ { print $2 }' "/proc/$app_pid/status")
used=$(( after - before ))
awk -v t="$used" -v hz="$hz" -v s="$seconds" -v th="$threads" 'BEGIN {
  printf "idle ardvix over %d s: %d ticks of %d/s = %.3f s of CPU (%.3f%% of one core), %d threads\n",
         s, t, hz, t / hz, 100 * t / hz / s, th }'
