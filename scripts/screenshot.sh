#!/usr/bin/env bash
# Runs a program on a virtual X display and saves a picture of the whole screen.
#   scripts/screenshot.sh <output.png> <delay seconds> <command> [args...]
# The program is started, given <delay> seconds to draw itself, photographed with
# ImageMagick's import, and then ended. Needs xvfb, xauth and imagemagick (scripts/setup.sh).
set -euo pipefail

if (($# < 3)); then
  echo "usage: $0 <output.png> <delay seconds> <command> [args...]" >&2
  exit 2
fi
output=$1
delay=$2
shift 2
case $delay in
  '' | *[!0-9.]*) echo "delay must be a number of seconds: $delay" >&2; exit 2 ;;
esac
for tool in xvfb-run import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing; run scripts/setup.sh" >&2; exit 1; }
done
output_dir=$(cd "$(dirname "$output")" && pwd) || { echo "no folder for $output" >&2; exit 1; }
output="$output_dir/$(basename "$output")"

# Inside the virtual display: start the program, wait, photograph, end the program (by its
# own process id) and report whether the picture was taken.
inner='
  out=$1; delay=$2; shift 2
  QT_QPA_PLATFORM=xcb "$@" &
  pid=$!
  sleep "$delay"
  status=0
  if kill -0 "$pid" 2>/dev/null; then
    import -window root "$out" || status=1
    kill "$pid" 2>/dev/null || true
  else
    echo "the program ended before the picture was taken" >&2
    status=1
  fi
  wait "$pid" 2>/dev/null || true
  exit "$status"
'
timeout $((${delay%.*} + 60)) \
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$inner" screenshot "$output" "$delay" "$@"
echo "saved $output"
