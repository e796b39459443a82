#!/usr/bin/env bash
# x11_window_title.sh HATTSHEET X11_WATCH
# Starts the real program on a real X server (Xvfb) and reads its window
# title from outside, so the xcb platform path is covered too; opens and
# cancels a file dialog, after which the program's fresh home must hold no
# settings file (Qt's dialog would write ~/.config/QtProject.conf); then
# opens the About window. Then starts it with a file named on its command
# line, as a desktop's "Open with" does, and waits for the message that says
# how many points it opened. Each run ends as a user ends it: a close request
# to the main window, the quit question answered "Ναι"; the program must then
# end by itself with status 0, so that a leak checker (make test-san) has its
# say. Every wait is on an X event or on the program's end, never on the
# clock: as fast as the program on an idle machine, and no limit but ctest's
# on a loaded one. Exit 77 (skip) only without Xvfb.
set -euo pipefail
expected='Αλλαγή Κέντρου Φύλλου Χάρτη στην προβολή HATT [Olvani 2006]'
if [[ -z "${HATTSHEET_IN_XVFB:-}" ]]; then
  command -v xvfb-run >/dev/null && command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
  HATTSHEET_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
watch=$2
# A sanitized build's leak report counts (make test-san), less the system libraries' own.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "$0")" && pwd)/lsan-x11.supp"
run_dir=$(mktemp -d)
cp "$1" "$run_dir/"
home=$run_dir/home
mkdir "$home"
: >"$run_dir/stderr"
watcher=
trap 'kill $(cat "$run_dir/pid" 2>/dev/null) $watcher 2>/dev/null || true; rm -rf "$run_dir"' EXIT

# One stream, read on descriptor 3: the X server's "map ID NAME", "unmap ID"
# and "destroy ID" (x11_watch.cpp), "gone" when it no longer listens, and
# "exit STATUS" when the program ends.
mkfifo "$run_dir/events"
exec 3<>"$run_dir/events"
{ "$watch" events || true; echo gone; } >&3 & watcher=$!
read -r line <&3 && [[ $line == ready ]] || { echo "FAIL: x11_watch does not listen to the X server"; exit 1; }

# Starts the program with these arguments; its stderr kept, its end sent down the stream.
start() {
  : >"$run_dir/pid"
  { env -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME HOME="$home" "$run_dir/hattsheet" "$@" >/dev/null 2>>"$run_dir/stderr" 3>&- &
    echo $! >"$run_dir/pid"; wait $! && echo "exit 0" || echo "exit $?"; } >&3 &
}
fail() { echo "FAIL: $*"; echo "its stderr:"; cat "$run_dir/stderr"; exit 1; }
# Reads the next event into $event, $id and $name; the program's end fails, unless that is awaited.
next() {
  read -r event id name <&3
  [[ $event == gone ]] && fail "x11_watch no longer hears the X server"
  [[ $event == exit && $1 != exit ]] && fail "hattsheet ended (status $id) $2"
  return 0
}
# Gives a window the keyboard focus, then types keys into it.
type_into() { "$watch" focus "$1" || fail "window $1 does not take the focus"; xdotool key "${@:2}"; }
# Ends a run as a user does, the main window $1 given: its close request, the quit question
# ("Έξοδος") answered by Enter, its default "Ναι"; the program must end by itself, with status 0.
quit() {
  "$watch" close "$1" || fail "no close request sent to $1"
  until next "" "before its quit question"; [[ $event == map ]]; do :; done
  [[ $name == Έξοδος ]] || fail "the window $id named \"$name\" where the quit question was awaited"
  type_into "$id" Return
  until next exit; [[ $event == exit ]]; do :; done
  [[ $id == 0 ]] || fail "hattsheet ended with status $id after its quit question was answered"
  echo "quit: the program ended by itself with status 0"
}

start
until next "" "without a window"; [[ $event == map && $name == "$expected" ]]; do :; done
main=$id
echo "found window $main titled \"$expected\""
# The left "Άνοιγμα" (105 x 17 pixels at 4, 552 of the 652 x 586 client
# area below the menu bar, all of it times the layout's scale), then Escape
# in its file dialog.
read -r width height < <(xwininfo -id "$main" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
xdotool mousemove --window "$main" $((54 * width / 652)) $((height - 26 * width / 652)) click 1
until next "" "after a click on Άνοιγμα"; [[ $event == map ]]; do :; done
dialog=$id
type_into "$dialog" Escape
until next "" "after Escape in its file dialog"; [[ $event != map && $id == "$dialog" ]]; do :; done
[[ -z $(cd "$home" && { find .config -mindepth 1 2>/dev/null; find . -name '*QtProject*'; }) ]] ||
  { echo "FAIL: settings written after the file dialog closed:"; (cd "$home" && find . -path ./.cache -prune -o -print); exit 1; }
echo "the file dialog opened and closed; no settings written"
# The About window ("Πρόγραμμα", first on the menu bar) has no title, and
# tells window managers none: an empty _NET_WM_NAME, not the program's name.
xdotool mousemove --window "$main" 25 10 click 1
until next "" "after a click on the menu bar"; [[ $event == map ]]; do :; done
[[ -z $name ]] || fail "the About window $id is named: $name"
echo "found the About window $id, its name empty"
quit "$main"

# `hattsheet FILE`: a name with a space, opened into panel 1, its message a
# "Πληροφορία" box (a refusal would be "Προσοχή").
printf 'P, 1000, 2000, 5\r\n' >"$run_dir/day list.txt"
start "$run_dir/day list.txt"
main= message=
until [[ -n $main && -n $message ]]; do
  next "" "before the message of hattsheet FILE"
  [[ $event == map ]] || continue
  case $name in
    "$expected") main=$id ;;
    Πληροφορία) message=$id; echo "found the open message $id of hattsheet FILE" ;;
    Προσοχή) fail "hattsheet FILE refused its file" ;;
    *) fail "the window $id named \"$name\" after hattsheet FILE" ;;
  esac
done
type_into "$message" Return
until next "" "after Enter in its message"; [[ $event != map && $id == "$message" ]]; do :; done
quit "$main"
