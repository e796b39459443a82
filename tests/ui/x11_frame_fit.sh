#!/usr/bin/env bash
# The window framed by a window manager (frame_wm: a 30-pixel title bar and
# 4-pixel borders, announced in _NET_FRAME_EXTENTS) on a 1366×768 screen
# with its fonts at 120 and at 149 dpi: the whole frame, title bar counted,
# within the screen (it was 790 and 802 pixels tall). Exit 77 (skip)
# without Xvfb.
set -euo pipefail
hattsheet=$1 wm=$2
if [[ -z "${HATTSHEET_IN_XVFB:-}" ]]; then
  for tool in xvfb-run Xvfb xwininfo; do command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }; done
  for dpi in 120 149; do
    HATTSHEET_IN_XVFB=$dpi xvfb-run -a -s "-screen 0 1366x768x24 -dpi $dpi" "$0" "$@" || exit 1
  done
  exit 0
fi
dpi=$HATTSHEET_IN_XVFB
run_dir=$(mktemp -d)
mkdir "$run_dir/home"
"$wm" & wm_pid=$!
sleep 0.3
env -u QT_QPA_PLATFORM QT_FONT_DPI="$dpi" HOME="$run_dir/home" "$hattsheet" 2>/dev/null & pid=$!
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
[[ -n $last ]] || { echo "FAIL: no framed window at $dpi dpi"; exit 1; }
read -r x y w h <<<"$last"
echo "$dpi dpi: frame ${w}x${h} at $x,$y"
(( x >= 0 && y >= 0 && x + w <= 1366 && y + h <= 768 )) || { echo "FAIL: the frame leaves the 1366x768 screen"; exit 1; }
