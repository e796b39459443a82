#!/usr/bin/env bash
# The window framed by a window manager (frame_wm: a 30-pixel title bar and
# 4-pixel borders, announced in _NET_FRAME_EXTENTS) on a 1366×768 screen
# with its fonts at 120 and at 149 dpi, and on 2560×1440 at scale 2 with
# fonts at 144 dpi (a device pixel ratio of 3, where Qt rounds the frame):
# the whole frame, title bar counted, within the screen (it was 790, 802
# and 1441 pixels tall). Exit 77 (skip) without Xvfb.
set -euo pipefail
hattsheet=$1 wm=$2
if [[ -z "${HATTSHEET_IN_XVFB:-}" ]]; then
  for tool in xvfb-run Xvfb xwininfo; do command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }; done
  for case in 1366x768:120:1 1366x768:149:1 2560x1440:144:2; do
    HATTSHEET_IN_XVFB=$case xvfb-run -a -s "-screen 0 ${case%%:*}x24" "$0" "$@" || exit 1
  done
  exit 0
fi
IFS=: read -r screen dpi scale <<<"$HATTSHEET_IN_XVFB"
screen_w=${screen%x*} screen_h=${screen#*x}
run_dir=$(mktemp -d)
mkdir "$run_dir/home"
"$wm" & wm_pid=$!
sleep 0.3
env -u QT_QPA_PLATFORM QT_FONT_DPI="$dpi" QT_SCALE_FACTOR="$scale" HOME="$run_dir/home" "$hattsheet" 2>/dev/null & pid=$!
trap 'kill "$pid" "$wm_pid" 2>/dev/null || true; rm -rf "$run_dir"' EXIT
# The frame: the viewable top-level window larger than 100 pixels. Once it
# stays the same for a second (the window fits itself within 1 s of its
# show), it is measured.
frame() {
  for id in $({ xwininfo -root -children 2>/dev/null || true; } | awk '/^ +0x/ {print $1}'); do
    info=$(xwininfo -id "$id" 2>/dev/null || true)
    grep -q IsViewable <<<"$info" || continue
    awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} /Width:/ {w = $2} /Height:/ {h = $2}
         END {if (w > 100) print x, y, w, h}' <<<"$info"
  done
}
last="" same=0
for _ in $(seq 300); do
  now=$(frame)
  if [[ -n $now && $now == "$last" ]]; then same=$((same + 1)); else same=0; fi
  last=$now
  (( same >= 10 )) && break
  sleep 0.1
done
[[ -n $last ]] || { echo "FAIL: no framed window on $screen at $dpi dpi"; exit 1; }
read -r x y w h <<<"$last"
echo "$screen, $dpi dpi, scale $scale: frame ${w}x${h} at $x,$y"
(( x >= 0 && y >= 0 && x + w <= screen_w && y + h <= screen_h )) || { echo "FAIL: the frame leaves the $screen screen"; exit 1; }
