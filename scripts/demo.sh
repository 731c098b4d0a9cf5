#!/usr/bin/env bash
# Ardvix on a simulated camera network: installs what is missing, builds ardvix and the
# camera simulator (build/demo), builds a lab segment of three demo cameras from network
# namespaces (scripts/lab.sh) and opens ardvix inside the segment's PC namespace.
#
#   bash scripts/demo.sh
#
# With a desktop ($DISPLAY set) the window opens there: press "IP Find", double-click a
# camera, type its password (1234 for 10.77.1.10, 4321 for 10.77.1.11) and change its
# address. Without one the demo runs on a virtual display: it presses "IP Find" itself,
# saves docs/screenshots/main_window.png and docs/screenshots/cameras_found.png, and closes
# the window. The lab is removed when ardvix ends. Network namespaces need root: the script
# asks sudo for the part that builds and runs the lab.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build/demo
ardvix=$build/src/app/ardvix
camsim=$build/tools/camsim/camsim

if [ "${1:-}" != "--run" ]; then
  bash "$repo/scripts/setup.sh"
  cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DARDVIX_TESTS=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)" --target ardvix camsim
  if [ "$(id -u)" -ne 0 ]; then
    echo "demo: the simulated network is made of network namespaces, which needs root;" \
      "asking sudo to run the rest."
    # The window needs the desktop's X server and its cookie, also as root.
    exec sudo DISPLAY="${DISPLAY:-}" XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}" \
      bash "$0" --run
  fi
fi
[ "$(id -u)" -eq 0 ] || { echo "demo: --run needs root" >&2; exit 1; }
for program in "$ardvix" "$camsim"; do
  [ -x "$program" ] || { echo "demo: $program is missing; run bash scripts/demo.sh" >&2; exit 1; }
done

lab=demo$$
workdir=$(mktemp -d /tmp/ardvix-demo.XXXXXX)
cleanup() {
  bash "$repo/scripts/lab.sh" down "$lab" || true
  rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

bash "$repo/scripts/lab.sh" up "$lab" --camsim "$camsim" --move-address
echo "demo: cameras at 10.77.1.10 (static), 10.77.1.11 (dhcp), 10.77.1.12 (initial state);" \
  "the PC is 10.77.0.1; traffic log ${ARDVIX_LAB_STATE:-/run/ardvix-lab}/$lab/camsim.log"

if [ -n "${DISPLAY:-}" ]; then
  case $DISPLAY in
    :* | unix:*) ;;
    *) echo "demo: DISPLAY=$DISPLAY is a network display, which the PC namespace cannot" \
      "reach; the window may fail to open." >&2 ;;
  esac
  echo "demo: opening ardvix on $DISPLAY; close its window to end the demo."
  # The X server is reached through its socket file in /tmp/.X11-unix, which every
  # network namespace shares.
  (cd "$workdir" && ip netns exec "$lab-pc" env QT_QPA_PLATFORM=xcb DISPLAY="$DISPLAY" \
    XAUTHORITY="${XAUTHORITY:-}" "$ardvix") || echo "demo: ardvix ended with status $?" >&2
  exit 0
fi

echo "demo: no DISPLAY; running ardvix on a virtual display and taking screenshots."
shots=$repo/docs/screenshots
mkdir -p "$shots"
# The driver lives beside the lab tests; it is run from the repository root.
cd "$repo"
PYTHONDONTWRITEBYTECODE=1 timeout 300 /usr/bin/python3 - "$ardvix" "$lab-pc" "$workdir" \
  "$shots" <<'EOF'
import os
import subprocess
import sys
import warnings

sys.path.insert(0, os.path.join(os.getcwd(), "tests", "lab"))
warnings.simplefilter("ignore", DeprecationWarning)
warnings.simplefilter("ignore", ImportWarning)
import window_lab as lab

lab.ARDVIX, namespace, workdir, shots = sys.argv[1:5]
desktop = lab.VirtualDesktop().start()
window = None


def shoot(name):
    path = os.path.join(shots, name)
    desktop.screenshot(path)
    subprocess.run(["convert", path, "-trim", "+repage", path], check=True, timeout=60)
    print("demo: saved", path)


try:
    window = lab.ArdvixWindow(desktop, namespace, workdir).start()
    shoot("main_window.png")
    window.press("IP Find")
    rows = window.wait_rows(3)
    for row in rows:
        print("demo: found", "  ".join(row))
    window.double_click_row(0)
    lab.wait_until(lambda: window.text("Mac Address") == rows[0][1], 5, what="the form")
    shoot("cameras_found.png")
    window.press("Exit")
    window.wait_exit()
finally:
    if window is not None:
        window.stop()
    desktop.stop()
EOF
