#!/usr/bin/env bash
# The Windows installer and window under wine in Xvfb, used from outside as
# a user would (xdotool for keys and clicks, the clipboard through xclip):
#  - a silent install (/S) puts exactly the promised files in
#    %LOCALAPPDATA%\Programs\hattsheet (the Greek README.txt as Notepad
#    reads it), the Start-menu shortcuts by their Greek names, the
#    "Apps & features" entry and the "Open with" entries ("%1");
#  - the installed window has the exact title and the Linux window's size
#    (± the frame);
#  - the two centres and a point typed into the fields and ">" give the five
#    texts hattsheet-convert gives (read back through the clipboard);
#  - a Windows-1253 list with a Greek name opened, converted and saved is
#    byte for byte hattsheet-convert's output; saving onto it again asks in
#    Greek whether to replace it ("Όχι" keeps it), closing asks in Greek
#    whether to quit; "Αποθήκευση ως…" DXF is hattsheet-convert's DXF;
#  - the by-products of the installed copy are in %LOCALAPPDATA%\hattsheet,
#    not beside the program;
#  - a silent uninstall leaves no file and no registry key of ours.
#
#   wine_window.sh LINUX_CONVERT LINUX_WINDOW SETUP_EXE WORK_DIR
#
# WORK_DIR keeps the wine prefix between runs and gets windows.png (the
# window after the conversion, docs/screenshots/windows.png). Exit 77
# (skipped) without wine or Xvfb, 1 on any failure.
set -euo pipefail
for tool in wine xvfb-run xdotool xclip xwininfo xprop import iconv; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if [[ -z "${HATTSHEET_IN_XVFB:-}" ]]; then
  HATTSHEET_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
convert=$(realpath "$1") linux_window=$(realpath "$2") setup=$(realpath "$3") work=$(realpath -m "$4")
[[ -f $setup ]] || { echo "FAIL: $setup is missing: run make windows-installer"; exit 1; }
title='Αλλαγή Κέντρου Φύλλου Χάρτη στην προβολή HATT [Olvani 2006]'

# winemenubuilder would turn the Start-menu shortcuts into Linux menu entries.
export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX"
wineserver -p || true
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
[[ -f $WINEPREFIX/system.reg ]] || wineboot -i >/dev/null 2>&1
# Windows' interface fonts (Segoe UI, Tahoma, MS Shell Dlg) are missing
# here, and wine's fallback for them has metrics that put a line edit's
# text above its box: Liberation Sans, which has the Greek letters, stands in.
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
  '"Segoe UI"="Liberation Sans"' '"Tahoma"="Liberation Sans"' '"MS Shell Dlg"="Liberation Sans"' \
  '"MS Shell Dlg 2"="Liberation Sans"' '"Arial"="Liberation Sans"' '"Microsoft Sans Serif"="Liberation Sans"' >"$work/fonts.reg"
wine regedit /S "$work/fonts.reg"
status=0
shots=0  # screens kept when an awaited window did not come (no-window-N.png)
fail() { echo "FAIL: $*"; status=1; }
# A Windows path as a Linux one.
unix() { winepath -u "$1" 2>/dev/null; }
winvar() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
local_app_data=$(winvar LOCALAPPDATA)
install_dir=$local_app_data'\Programs\hattsheet'
install=$(unix "$install_dir")
start_menu=$(unix "$(winvar APPDATA)"'\Microsoft\Windows\Start Menu\Programs\hattsheet')
by_products=$(unix "$local_app_data"'\hattsheet')

# Everything in drive C and HKEY_CURRENT_USER that mentions the program, as
# "file PATH" and "key NAME" lines (and the values naming it).
traces() {
  (cd "$WINEPREFIX/drive_c" && find . -iname '*hattsheet*' | sed 's/^/file /')
  wine regedit /E "$work/hkcu.reg" 'HKEY_CURRENT_USER' 2>/dev/null
  iconv -f UTF-16 -t UTF-8 "$work/hkcu.reg" | tr -d '\r' |
    awk '/^\[/ {key = $0} tolower($0) ~ /hattsheet|qtproject/ {print "key " key ": " $0}'
}
# Nothing of the program may be there before the install: a run that
# failed half-way leaves its prefix to be made anew.
before=$(traces)
if [[ -n $before ]]; then
  wineserver -k || true
  rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
  wineserver -p || true
  wineboot -i >/dev/null 2>&1
  wine regedit /S "$work/fonts.reg"
  before=$(traces)
fi

# --- the install ----------------------------------------------------------
wine "$setup" /S
files=$(cd "$install" 2>/dev/null && find . -type f | LC_ALL=C sort | tr '\n' ' ')
doc=./share/doc/hattsheet
[[ $files == "./bin/hattsheet-convert.exe ./bin/hattsheet.exe $doc/GPL-3.txt $doc/GeographicLib-copyright.txt $doc/LGPL-3.txt $doc/LICENSE.txt $doc/Qt-copyright.txt $doc/README.md $doc/README.txt ./uninstall.exe " ]] ||
  fail "installed files in $install: $files"
shortcuts=$(cd "$start_menu" 2>/dev/null && find . -type f | LC_ALL=C sort | tr '\n' '|')
[[ $shortcuts == "./Αλλαγή Κέντρου Φύλλου Χάρτη.lnk|./Οδηγίες hattsheet.lnk|" ]] || fail "Start-menu shortcuts: $shortcuts"
# The Greek readme as Notepad reads it: a UTF-8 byte-order mark, valid
# UTF-8, every line ending in CR LF, and what a user looks for in it.
readme=$install/$doc/README.txt
[[ $(head -c 3 "$readme" | od -An -tx1 | tr -d ' ') == efbbbf ]] || fail "README.txt has no UTF-8 byte-order mark"
iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null 2>&1 || fail "README.txt is not UTF-8"
[[ $(grep -c $'\r$' "$readme") == "$(wc -l <"$readme")" && $(tr -cd '\r' <"$readme" | wc -c) == "$(wc -l <"$readme")" ]] ||
  fail "README.txt has a line not ending in CR LF"
for wanted in 'Εγκατάσταση' 'Απεγκατάσταση' '%LOCALAPPDATA%\hattsheet\hepos' 'hattsheet-convert --help' 'east.grd'; do
  grep -qF "$wanted" "$readme" || fail "README.txt does not say $wanted"
done
reg() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\hattsheet'
entry=$(reg "$uninstall_key")
while IFS='|' read -r value pattern; do
  [[ $entry =~ $value\ +REG_[A-Z]+\ +$pattern ]] || fail "Apps & features: no $value /$pattern/ in: $entry"
done <<EOF
DisplayName|hattsheet
DisplayVersion|[0-9]+\.[0-9]+\.[0-9]+
Publisher|Olvani
UninstallString|"C:\\\\users\\\\[^\\\\]+\\\\AppData\\\\Local\\\\Programs\\\\hattsheet\\\\uninstall\.exe"
QuietUninstallString|".*uninstall\.exe" /S
NoModify|0x1
EOF
command=$(reg 'HKCU\Software\Classes\hattsheet.pointlist\shell\open\command' /ve)
[[ $command == *"\"$install_dir\\bin\\hattsheet.exe\" \"%1\""* ]] || fail "Open with command: $command"
for ext in txt seq xyh; do
  [[ $(reg "HKCU\\Software\\Classes\\.$ext\\OpenWithProgids") == *hattsheet.pointlist* ]] || fail "no Open with for .$ext"
  # Offered, not made the default.
  [[ $(reg "HKCU\\Software\\Classes\\.$ext" /ve) != *hattsheet* ]] || fail ".$ext made hattsheet's"
done

# --- windows on the screen ------------------------------------------------
# The id of a viewable window named $1, waiting up to 60 s.
find_window() {
  local id
  for _ in $(seq 600); do
    for id in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ {print $1}'); do
      xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || continue
      [[ $(xprop -id "$id" _NET_WM_NAME 2>/dev/null) == "_NET_WM_NAME(UTF8_STRING) = \"$1\"" ]] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
gone() {  # window id: waits up to 20 s until it is no longer viewable
  for _ in $(seq 200); do xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 0; sleep 0.1; done
  return 1
}
size_of() { xwininfo -id "$1" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}'; }
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
# The clipboard, through X: wine hands it over in both directions, a moment
# later. A mark put there first tells the old text from the copied one.
clip_in() { printf '%s' "$1" | xclip -i -selection clipboard -t UTF8_STRING; }
clip_out() { xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null; }
mark=$'\x01'
# The text the focused control (or message box) copies.
copied() {
  local text
  clip_in "$mark"
  sleep 0.3
  keys ctrl+c
  for _ in $(seq 100); do
    text=$(clip_out) && [[ $text != "$mark" ]] && { printf '%s' "$text"; return 0; }
    sleep 0.1
  done
  return 1
}
# Into the focused field or the file dialog's name field, replacing its
# text; copied back, and once more when it did not arrive.
paste() {
  for _ in 1 2 3; do
    clip_in "$1"
    sleep 0.5
    keys ctrl+a ctrl+v ctrl+a
    [[ $(copied) == "$1" ]] && return 0
  done
  fail "could not paste \"$1\""
}
# A file name into a file dialog's name field: not copied back, since the
# field's completer, once open, takes keys and Return away from the dialog.
name_in() {
  clip_in "$1"
  sleep 0.5
  keys ctrl+a ctrl+v
  sleep 0.5
}
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || true; sleep 0.3; }

# The Linux window's size, for comparison.
HOME=$work env -u QT_QPA_PLATFORM "$linux_window" 2>/dev/null & pids+=($!)
linux_id=$(find_window "$title") || { echo "FAIL: the Linux window did not show"; exit 1; }
read -r linux_width linux_height < <(size_of "$linux_id")
kill "${pids[-1]}"
gone "$linux_id" || true

# Starts a copy of the window: its id in main, its size in width, height.
start_window() {
  wine "$1" & pids+=($!)
  main=$(find_window "$title") || { echo "FAIL: $1 did not show a window with the title"; exit 1; }
  read -r width height < <(size_of "$main")
  focus "$main"
}
# A dialog of the window: waits for it and gives it the keyboard.
dialog() {
  local id
  id=$(find_window "$1") || { import -window root "$work/no-window-$((++shots)).png"; return 1; }
  focus "$id"
  echo "$id"
}
# A message box titled $1 saying $2 after $3: read, then closed with
# Return. wine does not always hand the keyboard back to the window when a
# dialog closes; Qt gives it to the control that had it.
message() {
  box=$(dialog "$1") || { fail "no message after $3"; return 1; }
  text=$(copied | tr -d '\r')
  [[ $text == *"$2"* ]] || fail "message after $3: $text"
  keys Return
  gone "$box" || fail "the message after $3 stays"
  focus "$main"
}
# Panel 1 (clicked at its middle), Tab, Tab: its "Άνοιγμα"; the list of $1,
# which has $2 points.
open_list() {
  xdotool mousemove --window "$main" $((width / 4)) $((height / 2)) click 1
  sleep 0.3
  keys Tab Tab space
  box=$(dialog "Άνοιγμα αρχείου συντεταγμένων") || { fail "no open dialog"; return 1; }
  name_in "$1"
  keys Return
  gone "$box" || fail "the open dialog stays"
  message "Πληροφορία" "Το άνοιγμα ολοκληρώθηκε"$'\n'"$2 σημεία" "the open"
}
# From "Άνοιγμα": Αποθήκευση, Απαλοιφή, and the right panel's three, then
# "Μετατροπή ομάδας σημείων", and the message after it.
batch() {
  keys Tab Tab Tab Tab Tab Tab space
  message "Πληροφορία!" "Η διαδικασία ολοκληρώθηκε επιτυχώς!"$'\n'"4 σημεία" "the batch"
}
# Closing: the question in Greek. "Ναι" (the default) ends the program; with
# converted points not saved (quit_window unsaved) the question says so, "Όχι"
# is the default and "Ναι" is reached with shift+Tab.
quit_window() {
  focus "$main"
  keys alt+F4
  if question=$(dialog "Έξοδος"); then
    text=$(copied)
    [[ $text == *"Θέλετε σίγουρα να εγκαταλείψετε το πρόγραμμα;"* ]] || fail "quit question: $text"
    if [[ ${1:-} == unsaved ]]; then
      [[ $text == *"Τα σημεία της τελευταίας μετατροπής δεν έχουν αποθηκευτεί."* ]] || fail "no unsaved line: $text"
      keys Return
      gone "$question" || fail "the quit question stays"
      xwininfo -id "$main" 2>/dev/null | grep -q IsViewable || fail "Return (Όχι) closed the window with unsaved points"
      focus "$main"
      keys alt+F4
      question=$(dialog "Έξοδος") || fail "no second quit question"
      keys shift+Tab space
    else
      [[ $text != *"δεν έχουν αποθηκευτεί"* ]] || fail "unsaved line after a save: $text"
      keys Return
    fi
    gone "$main" || fail "the window stays after Ναι"
  else
    fail "no quit question"
  fi
  for _ in $(seq 100); do kill -0 "${pids[-1]}" 2>/dev/null || break; sleep 0.1; done
  ! kill -0 "${pids[-1]}" 2>/dev/null || fail "hattsheet.exe still runs after Ναι"
}

start_window "$install/bin/hattsheet.exe"
echo "the installed window shows: \"$title\""
((width - linux_width <= 16 && linux_width - width <= 16 && height - linux_height <= 40 && linux_height - height <= 40)) ||
  fail "window ${width}x$height, on Linux ${linux_width}x$linux_height"

# --- one point: Tab from the first panel to "Από Κ.Φ." φ, through the
# fields to ">", then on through the five results.
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab
for text in 40.51 -0.51 40.45 -0.45 1000 2000; do paste "$text"; keys Tab; done
keys space
expected=$("$convert" --from 40.51,-0.51 --to 40.45,-0.45 --point 1000,2000 | sed 's/^[^=]*= //')
got=()
for step in "Tab" "Tab" "Tab Tab" "Tab" "Tab"; do
  # shellcheck disable=SC2086 # the keys are words
  keys $step
  got+=("$(copied)")
done
[[ $(printf '%s\n' "${got[@]}") == "$expected" ]] || fail "five texts: $(printf '[%s] ' "${got[@]}"), wanted: $expected"

# --- a list: Windows-1253, a Greek name, CR LF.
folder='C:\hattsheet-test'
rm -rf "$(unix "$folder")" && mkdir -p "$(unix "$folder")"
list=$(unix "$folder")/Σημεία.txt
printf '%s\r\n' 'Σ1, 1000.000, 2000.000, 100.500' 'Τριγ-Α, -12345.678, 23456.789, 0.000' 'P3, 0.000, 0.000, 12.250' \
  'Ω4, 50000.000, -40000.000, -3.000' |
  iconv -t CP1253 >"$list"
out=$(unix "$folder")/Νέα.txt
"$convert" --from 40.51,-0.51 --to 40.45,-0.45 "$list" -o "$work/expected.txt"
open_list "$folder\\Σημεία.txt" 4 || true
batch || true
import -window "$main" "$work/windows.png"
# The right panel's "Αποθήκευση" (the keys reach it): saves as Νέα, which
# gets ".txt".
save() {
  focus "$main"
  # shellcheck disable=SC2068 # the keys are words
  keys $@
  box=$(dialog "Αποθήκευση αρχείου συντεταγμένων") || { fail "no save dialog"; return 1; }
  name_in "$folder\\Νέα"
  keys Return
  gone "$box" || { fail "the save dialog stays"; return 1; }
}
if save shift+Tab shift+Tab space; then
  message "Πληροφορία" "Η εγγραφή ολοκληρώθηκε" "the save"
fi
cmp "$out" "$work/expected.txt" || fail "the saved list differs from hattsheet-convert's"
for name in TempFeed.Dat TempFile.Dat; do
  [[ -f $by_products/$name ]] || fail "no $name in $by_products"
  [[ ! -e $install/bin/$name ]] || fail "$name beside the installed program"
done
# Again onto the same name: the question, in Greek; "Όχι" (the default,
# Return) keeps the file.
echo changed >"$out"
if save space; then
  if question=$(dialog "Αποθήκευση αρχείου συντεταγμένων"); then
    text=$(copied)
    [[ $text == *"Το αρχείο «C:"?"hattsheet-test"?"Νέα.txt» υπάρχει ήδη. Να αντικατασταθεί;"* && $text == *Ναι*Όχι* ]] ||
      fail "replace question: $text"
    keys Return
    gone "$question" || fail "the replace question stays"
    # "Όχι" goes back to the save dialog, for another name: given up.
    if box=$(dialog "Αποθήκευση αρχείου συντεταγμένων"); then
      keys Escape
      gone "$box" || fail "the save dialog stays after Escape"
    else
      fail "Όχι did not go back to the save dialog"
    fi
  else
    fail "no replace question"
  fi
  [[ $(cat "$out") == changed ]] || fail "Όχι replaced the file"
fi

# "Αποθήκευση ως…" (Alt+E, then V on a Latin layout): panel 2 as a DXF by
# the typed extension (its points lie up to 50 km from the centre, on no
# sheet: a plane drawing needs none), byte for byte hattsheet-convert's of
# the same lines, the Greek codes in the drawing's code page.
"$convert" --from 40.45,-0.45 --to 40.45,-0.45 --format dxf "$work/expected.txt" >"$work/expected.dxf"
focus "$main"
keys alt+e v
if box=$(dialog "Αποθήκευση αρχείου συντεταγμένων"); then
  name_in "$folder\\Σημεία χάρτη.dxf"
  keys Return
  gone "$box" || fail "the save-as dialog stays"
  message "Πληροφορία" "Η εγγραφή ολοκληρώθηκε" "the save as DXF"
  cmp "$(unix "$folder")/Σημεία χάρτη.dxf" "$work/expected.dxf" || fail "the window's DXF differs from hattsheet-convert's"
else
  fail "no save-as dialog"
fi

quit_window

# --- a copy of the window in a folder the user may not write in (read-only
# for wine): the by-products go to %LOCALAPPDATA%\hattsheet too.
portable='C:\hattsheet-portable'
rm -rf "$(unix "$portable")" "$by_products" && mkdir -p "$(unix "$portable")"
cp "$install/bin/hattsheet.exe" "$(unix "$portable")/"
chmod a-w "$(unix "$portable")"
start_window "$portable\\hattsheet.exe"
open_list "$folder\\Σημεία.txt" 4 || true
batch || true
for name in TempFeed.Dat TempFile.Dat; do
  [[ -f $by_products/$name ]] || fail "no $name in $by_products from a read-only folder's copy"
done
quit_window unsaved
chmod u+w "$(unix "$portable")"
rm -rf "$(unix "$portable")"

# --- the uninstall --------------------------------------------------------
# The uninstaller runs a copy of itself from %TEMP% (~nsuN.tmp\Un.exe), which
# removes the folder it came from, and returns at once.
wine "$install/uninstall.exe" /S
for _ in $(seq 300); do pgrep -f 'nsu[0-9A-Za-z]*\.tmp' >/dev/null || break; sleep 0.2; done
rm -rf "$(unix "$folder")"
after=$(traces)
[[ -z $after ]] || fail "left after the uninstall:"$'\n'"$after"
[[ ! -e $install ]] || fail "$install is still there"
[[ $status == 0 ]] && echo "installed, used and uninstalled under wine: all checks passed"
exit $status
