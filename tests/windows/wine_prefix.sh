# Sourced by the Windows checks that run the command line: the wine prefix
# in $work/wine-prefix (CTest's lock keeps two of them from using it at
# once), one wine server for every run of the script (status 2 of -p: one is
# running already), ended when the script ends; the prefix made on first use.
export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX"
wineserver -p || true
trap 'wineserver -k 2>/dev/null || true' EXIT
[[ -f $WINEPREFIX/system.reg ]] || wineboot -i >/dev/null 2>&1
