#!/usr/bin/env bash
# A simulated camera segment built from network namespaces, for lab tests and demos.
#
#   lab.sh up <name> [options]   build the segment and start camsim in it
#   lab.sh down <name>           stop camsim and remove the namespaces (safe to repeat)
#   lab.sh exec <name> <cmd...>  run a command in the PC namespace
#   lab.sh exec-in <name> <role> <cmd...>   run a command in namespace <name>-<role>
#   lab.sh status <name>
#
# Namespaces: <name>-sw holds the bridge br0 that joins the others; <name>-pc the PC
# (10.77.0.1/16 by default, no default route, like a field laptop); <name>-cams camsim and
# every device address (each as /32, with a route to the segment); optionally <name>-host,
# an address that answers ping, and <name>-mute, an address that ignores ICMP echo.
# Nothing is done in the host's own namespace: every link is created inside a namespace.
#
# Options of up:
#   --devices FILE      device file (default tools/camsim/demo-devices.txt)
#   --generate N        add N generated devices (camsim --generate), with --base CIDR
#   --base CIDR         block for generated devices and the cams route (default 10.77.0.0/16)
#   --pc-addr CIDR      the PC's address (default 10.77.0.1/16)
#   --host-addr CIDR    add <name>-host with this address; it answers ping
#   --mute-addr CIDR    add <name>-mute with this address; it ignores ICMP echo
#   --default-route     give the PC a default route through its interface
#   --move-address      every device moves its address on "ipaddrset"
#   --max-seconds N     camsim stops by itself after N seconds (default 3600)
#   --camsim PATH       the camsim program (default $CAMSIM or the build directories)
#   --no-camsim         build the segment only
#
# State (PIDs, log, namespaces) lives in ${ARDVIX_LAB_STATE:-/run/ardvix-lab}/<name>;
# the traffic log is <state>/camsim.log.
set -Eeuo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
state_root=${ARDVIX_LAB_STATE:-/run/ardvix-lab}

die() {
  echo "lab.sh: $*" >&2
  exit 1
}

check_name() {
  [[ $1 =~ ^[a-z0-9]{1,12}$ ]] || die "name must be 1 to 12 lower-case letters or digits: '$1'"
}

roles=(pc cams host mute sw)

namespace_exists() { [ -e "/run/netns/$1" ]; }

down() {
  local name=$1 dir=$state_root/$1 pid
  if [ -f "$dir/camsim.pid" ]; then
    pid=$(cat "$dir/camsim.pid")
    # Only the process we started: the PID must still be a camsim.
    if [[ $pid =~ ^[0-9]+$ ]] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = camsim ]; then
      kill -TERM "$pid" 2>/dev/null || true
      for _ in $(seq 30); do
        [ -e "/proc/$pid" ] || break
        sleep 0.1
      done
      if [ -e "/proc/$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
    fi
    rm -f "$dir/camsim.pid"
  fi
  for role in "${roles[@]}"; do
    if namespace_exists "$name-$role"; then ip netns del "$name-$role" 2>/dev/null || true; fi
  done
  rm -rf "$dir"
}

find_camsim() {
  if [ -n "${CAMSIM:-}" ]; then
    echo "$CAMSIM"
    return
  fi
  local candidate
  for candidate in "$repo"/build-camsim/tools/camsim/camsim "$repo"/build*/tools/camsim/camsim; do
    if [ -x "$candidate" ]; then
      echo "$candidate"
      return
    fi
  done
  die "camsim not found; build it or pass --camsim PATH"
}

# Joins namespace <name>-<role> to the bridge and gives eth0 an address (may be empty).
attach() {
  local name=$1 role=$2 address=$3 ns=$1-$2
  ip netns add "$ns"
  ip -n "$ns" link set lo up
  ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 >/dev/null 2>&1 || true
  ip -n "$name-sw" link add "p-$role" type veth peer name eth0 netns "$ns"
  ip -n "$name-sw" link set "p-$role" master br0 up
  ip -n "$ns" link set eth0 up
  if [ -n "$address" ]; then ip -n "$ns" addr add "$address" dev eth0; fi
}

up() {
  local name=$1
  shift
  local devices=$repo/tools/camsim/demo-devices.txt generate=0 base=10.77.0.0/16
  local pc_addr=10.77.0.1/16 host_addr="" mute_addr="" default_route=0 move=0
  local max_seconds=3600 camsim="" run_camsim=1
  while [ $# -gt 0 ]; do
    case $1 in
      --devices) devices=$2; shift 2 ;;
      --generate) generate=$2; shift 2 ;;
      --base) base=$2; shift 2 ;;
      --pc-addr) pc_addr=$2; shift 2 ;;
      --host-addr) host_addr=$2; shift 2 ;;
      --mute-addr) mute_addr=$2; shift 2 ;;
      --default-route) default_route=1; shift ;;
      --move-address) move=1; shift ;;
      --max-seconds) max_seconds=$2; shift 2 ;;
      --camsim) camsim=$2; shift 2 ;;
      --no-camsim) run_camsim=0; shift ;;
      *) die "unknown option '$1'" ;;
    esac
  done
  local dir=$state_root/$name
  if [ -e "$dir" ]; then die "lab '$name' is up already; run: lab.sh down $name"; fi
  for role in "${roles[@]}"; do
    if namespace_exists "$name-$role"; then die "namespace $name-$role exists already"; fi
  done

  # From here on a failure, or an interruption, takes down whatever was built.
  trap 'echo "lab.sh: up failed; tearing down" >&2; down "$name"' ERR
  trap 'down "$name"; exit 130' INT TERM
  mkdir -p "$dir"

  local camsim_args=()
  if [ "$run_camsim" = 1 ]; then
    [ -n "$camsim" ] || camsim=$(find_camsim)
    if [ -n "$devices" ]; then camsim_args+=(--devices "$devices"); fi
    if [ "$generate" != 0 ]; then camsim_args+=(--generate "$generate" --base "$base"); fi
    if [ "$move" = 1 ]; then camsim_args+=(--move-address); fi
    # Checks the device file before anything is built.
    "$camsim" "${camsim_args[@]}" --print-addresses >"$dir/addresses"
  fi

  ip netns add "$name-sw"
  ip -n "$name-sw" link set lo up
  ip -n "$name-sw" link add br0 type bridge
  ip -n "$name-sw" link set br0 up
  attach "$name" pc "$pc_addr"
  if [ "$default_route" = 1 ]; then ip -n "$name-pc" route add default dev eth0; fi
  attach "$name" cams ""
  ip -n "$name-cams" route add "$base" dev eth0
  if [ -n "$host_addr" ]; then attach "$name" host "$host_addr"; fi
  if [ -n "$mute_addr" ]; then
    attach "$name" mute "$mute_addr"
    ip netns exec "$name-mute" sysctl -qw net.ipv4.icmp_echo_ignore_all=1
  fi

  if [ "$run_camsim" = 1 ]; then
    sed 's|^\(.*\)$|addr add \1 dev eth0|' "$dir/addresses" | ip -n "$name-cams" -batch -
    : >"$dir/camsim.log"
    # ip netns exec execs the program itself, so $! is camsim's own PID.
    ip netns exec "$name-cams" "$camsim" "${camsim_args[@]}" --log "$dir/camsim.log" \
      --max-seconds "$max_seconds" >"$dir/camsim.out" 2>&1 &
    echo $! >"$dir/camsim.pid"
    local ready=0
    for _ in $(seq 50); do
      if grep -q ' note listening ' "$dir/camsim.log"; then
        ready=1
        break
      fi
      [ -e "/proc/$(cat "$dir/camsim.pid")" ] || break
      sleep 0.1
    done
    if [ "$ready" != 1 ]; then
      cat "$dir/camsim.out" >&2 || true
      false  # runs the ERR trap
    fi
  fi
  trap - ERR INT TERM
  echo "lab '$name' is up: PC $pc_addr in $name-pc; devices in $name-cams; log $dir/camsim.log"
}

status() {
  local name=$1 dir=$state_root/$1
  for role in "${roles[@]}"; do
    if namespace_exists "$name-$role"; then echo "namespace $name-$role"; fi
  done
  if [ -f "$dir/camsim.pid" ]; then echo "camsim pid $(cat "$dir/camsim.pid")"; fi
  return 0
}

[ $# -ge 2 ] || die "usage: lab.sh up|down|exec|exec-in|status <name> ..."
command=$1
name=$2
shift 2
check_name "$name"
case $command in
  up)
    [ "$(id -u)" -eq 0 ] || die "needs root (network namespaces)"
    up "$name" "$@"
    ;;
  down) down "$name" ;;
  exec) exec ip netns exec "$name-pc" "$@" ;;
  exec-in)
    [ $# -ge 1 ] || die "exec-in needs a role"
    role=$1
    shift
    exec ip netns exec "$name-$role" "$@"
    ;;
  status) status "$name" ;;
  *) die "unknown command '$command'" ;;
esac
