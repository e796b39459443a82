#!/usr/bin/env bash
# The mnemonics from a real keyboard on a real X server (Xvfb), driven by
# xdotool: Alt+M ("Μετατροπή ομάδας σημείων", with panel 1 empty) must bring
# its message on a Latin layout (us) as on the Greek one (gr, Alt+μ), and
# Alt+F must open the menu "Φύλλα" on the Latin one. Exit 77 (skip) without
# Xvfb, xdotool or setxkbmap.
set -euo pipefail
if [[ -z "${HATTSHEET_IN_XVFB:-}" ]]; then
  for tool in xvfb-run Xvfb xdotool setxkbmap xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  HATTSHEET_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

run_dir=$(mktemp -d)
cp "$1" "$run_dir/"
mkdir "$run_dir/home"
env -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME HOME="$run_dir/home" "$run_dir/hattsheet" 2>"$run_dir/stderr" & pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$run_dir"' EXIT

# The viewable top-level windows: "id name" a line.
windows() {
  { xwininfo -root -children 2>/dev/null || true; } | grep -E '^ +0x' | while read -r id rest; do
    if xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then echo "$id $rest"; fi
  done || true
}
# Waits up to 30 s for a window line matching a pattern to be there (or,
# with "!", gone).
wait_for() {
  for _ in $(seq 300); do
    local seen
    seen=$(windows)
    if [[ $1 == '!' ]]; then grep -q -- "$2" <<<"$seen" || return 0
    else grep -q -- "$1" <<<"$seen" && return 0; fi
    sleep 0.1
  done
  echo "FAIL: waited for $* ; windows: $(windows | tr '\n' ';')"; exit 1
}
wait_for '"Αλλαγή Κέντρου'
main=$(windows | awk '/"Αλλαγή Κέντρου/ {print $1}')
sleep 0.5
# Each key again every 2 s: on a loaded machine one can reach the server
# before the window has the keyboard focus.
press_until() {  # KEY PATTERN
  for i in $(seq 15); do
    xdotool windowfocus "$main" 2>/dev/null || true
    xdotool key "$1"
    for _ in $(seq 20); do grep -q -- "$2" <<<"$(windows)" && return 0; sleep 0.1; done
  done
  echo "FAIL: $1 brought no window matching $2; windows: $(windows | tr '\n' ';')"; exit 1
}

setxkbmap us
press_until alt+m '"Προσοχή!"'
echo "Latin layout: Alt+M ran the batch"
xdotool key Return
wait_for '!' '"Προσοχή!"'
before=$(windows | wc -l)
for i in $(seq 15); do
  xdotool windowfocus "$main" 2>/dev/null || true
  xdotool key alt+f
  sleep 0.3
  if (( $(windows | wc -l) > before )); then break; fi
done
(( $(windows | wc -l) > before )) || { echo "FAIL: Alt+F opened no menu"; exit 1; }
echo "Latin layout: Alt+F opened a menu"
xdotool key Escape
if setxkbmap gr 2>/dev/null; then
  press_until alt+Greek_mu '"Προσοχή!"'
  echo "Greek layout: Alt+μ ran the batch"
  xdotool key Return
  wait_for '!' '"Προσοχή!"'
fi
setxkbmap us
