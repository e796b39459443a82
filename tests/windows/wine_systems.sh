#!/usr/bin/env bash
# hattsheet-convert.exe under wine gives the Linux build's bytes between the
# systems: --systems, one point between representative pairs (and their
# refusals), and a few thousand points over Greece through each pair as
# lists, with the HEPOS grid from the shared data folder, and the map files
# (KML, GeoJSON, DXF, GPX) written by each; stdout byte for
# byte, stderr with the CR LF the Windows program writes, exit codes. Then
# the grid where Windows users keep it: %LOCALAPPDATA%\hattsheet\hepos,
# HATTSHEET_HEPOS_GRID naming a Greek folder, and the message (exit 2) when
# neither holds it.
#
#   wine_systems.sh LINUX_CONVERT WINDOWS_BIN HEPOS_DIR WORK_DIR
#
# HEPOS_DIR is never copied: the folders below link to its two files.
# WORK_DIR keeps the wine prefix (shared with wine_check.sh, never at the
# same time); exit 77 (skipped) when wine or the grid is missing, 1 on any
# difference.
set -euo pipefail
linux=$(realpath "$1") winbin=$2 grid=$3 work=$(realpath -m "$4")
data=$(dirname "$0")/../../data/hatt_sheets.csv
exe=$winbin/hattsheet-convert.exe
command -v wine >/dev/null || { echo "wine is not installed"; exit 77; }
[[ -n $grid && -f $grid/east.grd && -f $grid/north.grd ]] || { echo "no HEPOS grid in '$grid'"; exit 77; }
[[ -f $exe ]] || { echo "$exe is missing: run make windows"; exit 1; }
grid=$(realpath "$grid")

. "$(dirname "$0")/wine_prefix.sh"
unset HATTSHEET_HEPOS_GRID

run=$work/systems
rm -rf "$run" && mkdir -p "$run/lin" "$run/win"
cp "$exe" "$run/win/"
status=0
differs() { echo "DIFFERENT: $*"; status=1; }

# Runs one side in its folder: NAME.out, NAME.err and NAME.rc. The Linux
# messages get the CR LF that Windows' text-mode stderr writes.
side() {
  local dir=$1 name=$2; shift 2
  local rc=0
  if [[ $dir == lin ]]; then
    (cd "$run/lin" && XDG_DATA_HOME=$run/lin/no-data "$linux" "$@") >"$run/lin/$name.out" 2>"$run/lin/$name.raw" || rc=$?
    sed 's/$/\r/' "$run/lin/$name.raw" >"$run/lin/$name.err" && rm "$run/lin/$name.raw"
  else
    (cd "$run/win" && wine hattsheet-convert.exe "$@") >"$run/win/$name.out" 2>"$run/win/$name.err" || rc=$?
  fi
  echo "$rc" >"$run/$dir/$name.rc"
}
# Both sides, then the three files compared; a difference that does not
# repeat on a second run under wine (a failed process start under load) is
# not counted.
both() {
  local name=$1; shift
  side lin "$name" "$@"
  side win "$name" "$@"
  local tries
  for tries in 1 2; do
    local f bad=
    for f in out err rc; do cmp -s "$run/lin/$name.$f" "$run/win/$name.$f" || bad+=" $f"; done
    [[ -z $bad ]] && return 0
    [[ $tries == 2 ]] && { differs "$name:$bad"; diff "$run/lin/$name.out" "$run/win/$name.out" | head -n 6; return 0; }
    side win "$name" "$@"
  done
}

# One point between representative pairs, and refusals (each line: a name,
# then the arguments; the grid is named where the pair needs it).
hepos=(--hepos-grid "$grid")
while read -r name args; do
  [[ -z $name || $name == '#'* ]] && continue
  eval "set -- $args"
  both "point-$name" "$@"
done <<EOF
systems               --systems
tm07-to-sheet         --from tm07 --to Αθήναι-Ελευσίς --point 453464.513,2233791.328 ${hepos[*]}
sheet-to-tm07         --from Αθήναι-Ελευσίς --to tm07 --point 12345.678,-23456.789 ${hepos[*]}
tm07-to-number        --from tm07 --to 119 --point 470000,2210000 ${hepos[*]}
wgs84-to-tm3          --from wgs84 --to tm3-central --point 38.1,23.7,100
wgs84-to-tm3-east     --from wgs84 --to tm3:3 --point 37.6,26.1
tm3-west-to-wgs84     --from tm3-west --to wgs84 --point 198386.487,456943.659
htrs07-to-egsa87      --from htrs07 --to egsa87 --point 38.1,23.7,150.25 ${hepos[*]}
egsa87-to-htrs07      --from egsa87 --to htrs07 --point 473696.579,4216952.813 ${hepos[*]}
htrs07-to-tm07        --from htrs07 --to tm07 --point 40.5,21.25
egsa87-geo-to-tm87    --from egsa87-geo --to tm87 --point 38.1,23.7
tm87-to-egsa87-geo    --from ΕΓΣΑ87 --to egsa87-geo --point 473696.579,4216952.813
egsa87-geo-to-htrs07  --from egsa87-geo --to htrs07 --point 36.4,28.1 ${hepos[*]}
# Refusals: outside the grid, on no sheet, past the pole, no grid folder.
outside-grid          --from htrs07 --to egsa87 --point 45,24 ${hepos[*]}
on-no-sheet           --from wgs84 --to tm3:3 --point 37.9,26.3
past-pole             --from wgs84 --to tm87 --point 91,24
no-grid-folder        --from tm07 --to egsa87 --point 470000,2210000 --hepos-grid no-such-folder
EOF

# Lists over Greece, one per pair (awk's generator with a fixed seed: the
# same points every run): code, A, B, H in each --from system's units. TM3
# goes through a sheet's polynomial, so its points lie on sheets of the
# catalogue: inside a usable one's outline (old datum, a tenth of it from its edges,
# some 2.5 km, far more than the datums' 0.003°), in the zone of its centre.
# Sheets without a usable polynomial (the last column of --sheets, in the
# catalogue's order) and Kastellorizo, 6° east of Athens, are left out.
"$linux" --sheets | cut -f4 >"$run/lin/usable.txt"
tail -n +2 "$data" | paste -d, "$run/lin/usable.txt" - | awk -F, -v d="$run/lin/" '
  function u(lo, hi) { return lo + rand() * (hi - lo) }
  $1 == "EGSA87" && $7 < 4.5 { n++; dl[n] = $7; for (c = 1; c <= 8; c++) corner[n, c] = $(9 + c) }
  END {
    srand(3); athens = 23 + 42 / 60 + 58.815 / 3600
    for (i = 0; i < 3000; i++) {
      k = 1 + int(rand() * n); a = u(0.1, 0.9); b = u(0.1, 0.9)
      w[1] = (1 - a) * (1 - b); w[2] = (1 - a) * b; w[3] = a * b; w[4] = a * (1 - b)
      lambda = 0; phi = 0
      for (c = 1; c <= 4; c++) { lambda += w[c] * corner[k, 2 * c - 1]; phi += w[c] * corner[k, 2 * c] }
      zone = dl[k] < -1.5 ? "west" : dl[k] > 1.5 ? "east" : "central"
      printf "T%d, %.8f, %.8f, %.2f\r\n", i, phi, lambda + athens, u(0, 1500) > (d "geo-tm3-" zone ".txt")
    }
  }'
awk -v d="$run/lin/" 'function u(lo, hi) { return lo + rand() * (hi - lo) }
  function emit(file, a, b) { printf "P%d, %s, %s, %.3f\r\n", NR_[file]++, a, b, u(-20, 2500) > file }
  BEGIN {
    srand(87)
    for (i = 0; i < 3000; i++) {
      emit(d "geo-greece.txt", sprintf("%.9f", u(34.9, 41.7)), sprintf("%.9f", u(19.6, 28.2)))
      emit(d "tm87.txt", sprintf("%.3f", u(120000, 850000)), sprintf("%.3f", u(3870000, 4620000)))
      emit(d "tm07.txt", sprintf("%.3f", u(120000, 850000)), sprintf("%.3f", u(1870000, 2620000)))
      emit(d "sheet.txt", sprintf("%.3f", u(-22000, 22000)), sprintf("%.3f", u(-22000, 22000)))
      emit(d "tm07-at-sheet.txt", sprintf("%.3f", 453464.513 + u(-22000, 22000)), sprintf("%.3f", 2233791.328 + u(-22000, 22000)))
    }
  }'
cp "$run"/lin/*.txt "$run/win/"
while read -r name list from to; do
  both "list-$name" --from "$from" --to "$to" "${hepos[@]}" "$list"
done <<EOF
tm07-to-sheet       tm07-at-sheet.txt    tm07           Αθήναι-Ελευσίς
sheet-to-tm07       sheet.txt            Αθήναι-Ελευσίς tm07
wgs84-to-tm3-west   geo-tm3-west.txt     wgs84          tm3-west
wgs84-to-tm3        geo-tm3-central.txt  wgs84          tm3-central
wgs84-to-tm3-east   geo-tm3-east.txt     wgs84          tm3-east
htrs07-to-egsa87    geo-greece.txt       htrs07         egsa87
egsa87-to-htrs07    tm87.txt             egsa87         htrs07
htrs07-to-tm07      geo-greece.txt       htrs07         tm07
tm07-to-htrs07      tm07.txt             tm07           htrs07
egsa87-geo-to-tm87  geo-greece.txt       egsa87-geo     tm87
tm87-to-egsa87-geo  tm87.txt             tm87           egsa87-geo
EOF

# The map files: each format to stdout and through -o (chosen by the
# name's extension), from a Greek-coded list too; the files byte for byte.
printf 'Α1,1000,2000,10\r\n"Σ&<2> x",-5000,3000,5.5\r\nΩ\x273,0,0,0\r\n' >"$run/lin/greek.txt"
cp "$run/lin/greek.txt" "$run/win/"
while read -r name list from to format; do
  both "map-$name" --from "$from" --to "$to" "${hepos[@]}" --format "$format" "$list"
  both "file-$name" --from "$from" --to "$to" "${hepos[@]}" -o "$name.$format" "$list"
  cmp -s "$run/lin/$name.$format" "$run/win/$name.$format" || differs "the file $name.$format"
done <<EOF
sheet-kml        sheet.txt   Αθήναι-Ελευσίς egsa87 kml
sheet-geojson    sheet.txt   Αθήναι-Ελευσίς tm07   geojson
greek-dxf        greek.txt   Αθήναι-Ελευσίς egsa87 dxf
greek-gpx        greek.txt   Αθήναι-Ελευσίς wgs84  gpx
greek-kml        greek.txt   Αθήναι-Ελευσίς tm3-central kml
EOF
lines=$(cat "$run"/win/list-*.out | wc -l)
echo "systems: $(ls "$run"/win/point-*.rc | wc -l) single points, $lines list lines through $(ls "$run"/win/list-*.rc | wc -l) pairs, $(ls "$run"/win/map-*.rc | wc -l) map files"
[[ $(grep -L '^0$' "$run"/lin/{list,map,file}-*.rc | wc -l) == 0 ]] || differs "a list failed on Linux: $(grep -L '^0$' "$run"/lin/{list,map,file}-*.rc)"

# The grid where Windows users keep it. Wine sets LOCALAPPDATA itself, so
# a batch file sets it for the program; the Greek name of the other folder
# reaches it through wine's environment (a batch file is not UTF-8). Each folder links to the shared files; the
# point and its result are those of point-htrs07-to-egsa87.
winrun() {  # VARIABLE=VALUE ARGUMENTS...: hattsheet-convert.exe with that set
  printf '@set "%s"\r\n@hattsheet-convert.exe %s\r\n' "$1" "${*:2}" >"$run/win/with-setting.bat"
  (cd "$run/win" && env LC_ALL="${language:-C.UTF-8}" wine cmd /c with-setting.bat)
}
gridcase() {
  local name=$1 dir=$2 setting=$3 rc=0
  mkdir -p "$dir"
  ln -s "$grid/east.grd" "$grid/north.grd" "$dir/"
  if [[ $setting == LOCALAPPDATA=* ]]; then run_with=(winrun "$setting"); else
    run_with=(env "$setting" wine hattsheet-convert.exe); fi
  (cd "$run/win" && "${run_with[@]}" --from htrs07 --to egsa87 --point 38.1,23.7,150.25) >"$run/win/$name.out" 2>"$run/win/$name.err" || rc=$?
  [[ $rc == 0 ]] && cmp -s "$run/lin/point-htrs07-to-egsa87.out" "$run/win/$name.out" && [[ ! -s $run/win/$name.err ]] ||
    differs "$name: exit $rc $(cat "$run/win/$name.err")"
}
appdata=$run/appdata
gridcase local-app-data "$appdata/hattsheet/hepos" "LOCALAPPDATA=$(winepath -w "$appdata")"
greek="$run/Πλέγμα HEPOS"
gridcase greek-folder "$greek" "HATTSHEET_HEPOS_GRID=$(winepath -w "$greek")"

# Neither: exit 2 and the message of Linux, naming the Windows folder.
empty=$(winepath -w "$run/empty-app-data")
for lang in C.UTF-8 el_GR.UTF-8; do
  rc=0
  { (cd "$run/lin" && env LC_ALL=$lang XDG_DATA_HOME=/FOLDER-HOME "$linux" --from htrs07 --to egsa87 --point 38,24) || true; } \
    2>&1 | sed 's|/FOLDER-HOME/hattsheet/hepos|FOLDER|; s/$/\r/' >"$run/lin/no-grid-$lang.err"
  language=$lang winrun "LOCALAPPDATA=$empty" --from htrs07 --to egsa87 --point 38,24 2>"$run/win/no-grid-$lang.raw" || rc=$?
  folder="$empty\\hattsheet\\hepos" awk '{ f = ENVIRON["folder"]; i = index($0, f); if (i) $0 = substr($0, 1, i - 1) "FOLDER" substr($0, i + length(f)) } 1' \
    "$run/win/no-grid-$lang.raw" >"$run/win/no-grid-$lang.err"
  [[ $rc == 2 ]] && cmp -s "$run/lin/no-grid-$lang.err" "$run/win/no-grid-$lang.err" || differs "no grid ($lang): exit $rc"
  grep -q FOLDER "$run/win/no-grid-$lang.err" || differs "no grid ($lang): the folder is not named"
done
echo "grid lookup: %LOCALAPPDATA%, a Greek HATTSHEET_HEPOS_GRID and the missing grid: checked"
exit $status
