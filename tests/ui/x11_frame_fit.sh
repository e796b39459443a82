#!/usr/bin/env bash
# The window framed by a real window manager (openbox, its own title bar and
# borders, announced in _NET_FRAME_EXTENTS) whose work area leaves 40 pixels
# at the bottom of the screen to a panel (openbox's margins, as a taskbar's
# strut does), on a 1366×768 screen with its fonts at 120 and at 149 dpi, and
# on 2560×1440 at scale 2 with fonts at 144 dpi (a device pixel ratio of 3,
# where Qt rounds the frame): the whole frame, title bar counted, within the
# work area (_NET_WORKAREA). It was 790, 802 and 1441 pixels tall on screens
# of 768 and 1440. The systems and fit dialogs, opened by their keys, fit the
# same way. Exit 77 (skip) without Xvfb, openbox or xdotool.
set -euo pipefail
hattsheet=$1
panel=40  # pixels the panel keeps at the bottom
if [[ -z "${HATTSHEET_IN_XVFB:-}" ]]; then
  for tool in Xvfb xwininfo xprop xdotool openbox; do command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }; done
  for case in 1366x768:120:1 1366x768:149:1 2560x1440:144:2; do
    # A server of our own on a display it picks free itself (-displayfd):
    # xvfb-run -a can pick the display of another test starting beside it.
    fifo=$(mktemp -u) && mkfifo "$fifo"
    Xvfb -displayfd 3 -nolisten tcp -screen 0 "${case%%:*}x24" 3>"$fifo" 2>/dev/null & server=$!
    read -r display <"$fifo"; rm -f "$fifo"
    status=0
    DISPLAY=":$display" HATTSHEET_IN_XVFB=$case "$0" "$@" || status=$?
    kill "$server"; wait "$server" 2>/dev/null || true
    (( status == 0 )) || exit "$status"
  done
  exit 0
fi
IFS=: read -r screen dpi scale <<<"$HATTSHEET_IN_XVFB"
run_dir=$(mktemp -d)
mkdir "$run_dir/home"
cat >"$run_dir/rc.xml" <<RC
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <margins><top>0</top><bottom>$panel</bottom><left>0</left><right>0</right></margins>
</openbox_config>
RC
# openbox and the program keep their settings and logs in the run's own home.
export HOME="$run_dir/home" XDG_CONFIG_HOME="$run_dir/home/.config" XDG_CACHE_HOME="$run_dir/home/.cache"
# The server answers first (a display number just freed by the case before
# can take a moment to accept clients); openbox is given three tries.
for _ in $(seq 100); do xprop -root >/dev/null 2>&1 && break; sleep 0.1; done
wm_pid=""
trap 'kill "${pid:-}" "${wm_pid:-}" 2>/dev/null || true; rm -rf "$run_dir"' EXIT
for _ in 1 2 3; do
  openbox --sm-disable --config-file "$run_dir/rc.xml" 2>/dev/null & wm_pid=$!
  for _ in $(seq 100); do
    xprop -root _NET_WORKAREA 2>/dev/null | grep -q ' = ' && break
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$wm_pid" 2>/dev/null && break
done
kill -0 "$wm_pid" 2>/dev/null || { echo "FAIL: openbox did not start on $DISPLAY"; exit 1; }
env -u QT_QPA_PLATFORM QT_FONT_DPI="$dpi" QT_SCALE_FACTOR="$scale" "$hattsheet" 2>/dev/null & pid=$!
# A managed window's frame (x y w h, the title bar and borders counted),
# nothing while it is not yet framed.
frame() {
  local info extents
  info=$(xwininfo -id "$1" 2>/dev/null) || return 0
  grep -q IsViewable <<<"$info" || return 0
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ,)
  [[ -n $extents ]] || return 0
  awk -v e="$extents" '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} /Width:/ {w = $2} /Height:/ {h = $2}
       END {split(e, f, " "); print x - f[1], y - f[3], w + f[1] + f[2], h + f[3] + f[4]}' <<<"$info"
}
read -r ax ay aw ah <<<"$(xprop -root _NET_WORKAREA | sed -n 's/.* = //p' | tr -d , | cut -d' ' -f1-4)"
(( ah == ${screen#*x} - panel )) || { echo "FAIL: openbox left no room for the panel"; exit 1; }
# The frame of the window with that title, once it stays the same for a
# second (a window fits itself within 1 s of its show), within the work area.
check() {
  local what=$1 id="" last="" same=0 now x y w h
  for _ in $(seq 300); do
    [[ -n $id ]] || id=$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -n 1 || true)
    now=""
    if [[ -n $id ]]; then now=$(frame "$id"); fi
    if [[ -n $now && $now == "$last" ]]; then same=$((same + 1)); else same=0; fi
    last=$now
    (( same >= 10 )) && break
    sleep 0.1
  done
  [[ -n $last ]] || { echo "FAIL: no framed $what on $screen at $dpi dpi (program $(kill -0 "$pid" 2>/dev/null && echo running || echo gone))"; exit 1; }
  read -r x y w h <<<"$last"
  echo "$screen, $dpi dpi, scale $scale: $what ${w}x${h} at $x,$y in the work area ${aw}x${ah} at $ax,$ay"
  (( x >= ax && y >= ay && x + w <= ax + aw && y + h <= ay + ah )) || { echo "FAIL: the $what leaves the work area"; exit 1; }
}
check "main window" 'Αλλαγή Κέντρου Φύλλου Χάρτη'
# "Συστήματα" (Alt+S on a Latin layout), its first entry (T): the dialog.
xdotool key --clearmodifiers alt+s
sleep 0.5
xdotool key t
check "systems dialog" 'Συστήματα συντεταγμένων'
# The systems dialog closed (Escape), "Συστήματα" again, its entry K: the fit dialog.
xdotool key Escape
sleep 0.5
xdotool key --clearmodifiers alt+s
sleep 0.5
xdotool key k
check "fit dialog" '^Προσαρμογή$'
