#!/usr/bin/env bash
# Starts the real program on a real X server (Xvfb) and reads its window
# title from outside, so the xcb platform path is covered too; opens and
# cancels a file dialog, after which the program's fresh home must hold no
# settings file (Qt's dialog would write ~/.config/QtProject.conf); then
# opens the About window. Then starts it with a file named on its command
# line, as a desktop's "Open with" does, and waits for the message that says
# how many points it opened. Exit 77 (skip) only without Xvfb.
set -euo pipefail
expected='Αλλαγή Κέντρου Φύλλου Χάρτη στην προβολή HATT [Olvani 2006]'
if [[ -z "${HATTSHEET_IN_XVFB:-}" ]]; then
  command -v xvfb-run >/dev/null && command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
  HATTSHEET_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

run_dir=$(mktemp -d)
cp "$1" "$run_dir/"
home=$run_dir/home
mkdir "$home"
env -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME HOME="$home" "$run_dir/hattsheet" 2>"$run_dir/stderr" & pid=$!
pid2=
trap 'kill "$pid" $pid2 2>/dev/null || true; rm -rf "$run_dir"' EXIT
# Up to 60 s: a loaded CI machine can take long to map the first window.
for _ in $(seq 600); do
  for id in $({ xwininfo -root -children 2>/dev/null || true; } | awk '/^ +0x/ {print $1}'); do
    if [[ "$(xprop -id "$id" _NET_WM_NAME 2>/dev/null)" == "_NET_WM_NAME(UTF8_STRING) = \"$expected\"" ]]; then
      echo "found window $id titled \"$expected\""; main=$id; break 2
    fi
  done
  kill -0 "$pid" 2>/dev/null || { echo "FAIL: hattsheet ended without a window:"; cat "$run_dir/stderr"; exit 1; }
  sleep 0.1
done
if [[ -z "${main:-}" ]]; then
  echo "FAIL: no window titled \"$expected\"; windows seen: $(xwininfo -root -children 2>&1)"
  exit 1
fi
# The windows other than the main one that are on the screen.
others() {
  for id in $({ xwininfo -root -children 2>/dev/null || true; } | awk '/^ +0x/ {print $1}'); do
    [[ $id != "$main" ]] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && echo "$id"
  done
}
# The left "Άνοιγμα" (105 x 17 pixels at 4, 552 of the 652 x 586 client
# area below the menu bar, all of it times the layout's scale), then Escape
# in its file dialog.
read -r width height < <(xwininfo -id "$main" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
xdotool mousemove --window "$main" $((54 * width / 652)) $((height - 26 * width / 652)) click 1
for _ in $(seq 300); do [[ -n $(others) ]] && break; sleep 0.1; done
[[ -n $(others) ]] || { echo "FAIL: no file dialog after a click on Άνοιγμα"; exit 1; }
# Escape again each second: on a loaded machine the first one can reach the
# server before the dialog has the keyboard focus, and is lost.
for i in $(seq 300); do
  (( i % 10 == 1 )) && xdotool key Escape
  [[ -z $(others) ]] && break
  sleep 0.1
done
[[ -z $(others) ]] || { echo "FAIL: the file dialog stays after Escape"; exit 1; }
[[ -z $(cd "$home" && { find .config -mindepth 1 2>/dev/null; find . -name '*QtProject*'; }) ]] ||
  { echo "FAIL: settings written after the file dialog closed:"; (cd "$home" && find . -path ./.cache -prune -o -print); exit 1; }
echo "the file dialog opened and closed; no settings written"
# The About window ("Πρόγραμμα", first on the menu bar) has no title, and
# tells window managers none: an empty _NET_WM_NAME, not the program's name.
xdotool mousemove --window "$main" 25 10 click 1
about=
for _ in $(seq 300); do
  for id in $(others); do
    name=$(xprop -id "$id" _NET_WM_NAME 2>/dev/null)
    [[ $name == "_NET_WM_NAME(UTF8_STRING) = " ]] && { echo "found the About window $id, its name empty"; about=$id; break 2; }
    echo "FAIL: the About window $id is named: $name"; exit 1
  done
  sleep 0.1
done
[[ -n $about ]] || { echo "FAIL: no About window after a click on the menu bar"; exit 1; }

# `hattsheet FILE`: a name with a space, opened into panel 1, its message a
# "Πληροφορία" box (a refusal would be "Προσοχή").
printf 'P, 1000, 2000, 5\r\n' >"$run_dir/day list.txt"
kill "$pid"
env -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME HOME="$home" "$run_dir/hattsheet" "$run_dir/day list.txt" 2>>"$run_dir/stderr" & pid2=$!
for _ in $(seq 600); do
  for id in $({ xwininfo -root -children 2>/dev/null || true; } | awk '/^ +0x/ {print $1}'); do
    case "$(xprop -id "$id" _NET_WM_NAME 2>/dev/null)" in
      *'"Πληροφορία"') echo "found the open message $id of hattsheet FILE"; exit 0 ;;
      *'"Προσοχή"'*) echo "FAIL: hattsheet FILE refused its file"; exit 1 ;;
    esac
  done
  sleep 0.1
done
echo "FAIL: no message after hattsheet FILE; windows seen: $(xwininfo -root -children 2>&1)"
exit 1
