#!/usr/bin/env bash
# Makes the .deb from a built tree with CPack in a scratch folder and checks it
# as an archive would: the control fields, the exact file list, lintian (every
# tag, pedantic ones too, but the one a first upload without a bug to close
# gets), desktop-file-validate, appstreamcli validate --no-net, the man pages,
# the stripped programs themselves and the packages of the libraries they
# need, and a second package made the same way being the same bytes.
#   check_deb.sh BUILD_DIR VERSION    (VERSION: the project's, e.g. 1.0.0)
set -uo pipefail

build=$1
version=$2
deb_version=$version-1
arch=$(dpkg --print-architecture)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# A table's pattern with each "\n" made a line end.
lines() { printf '%s' "${1//\\n/$'\n'}"; }
version_re=${version//./\\.}
deb_version_re=${deb_version//./\\.}

# The package's times come from the last commit, not from the caller.
package() {  # folder
  if ! (cd "$build" && env -u SOURCE_DATE_EPOCH cpack -G DEB -B "$1" >"$1.log" 2>&1); then
    cat "$1.log"
    echo "FAIL: cpack"
    exit 1
  fi
  [[ -f $1/hattsheet_${deb_version}_$arch.deb ]] || { ls "$1"; echo "FAIL: no .deb in $1"; exit 1; }
}
package "$scratch/first"
deb=$scratch/first/hattsheet_${deb_version}_$arch.deb
# A second package a second later: the same bytes.
sleep 1
package "$scratch/second"
cmp "$deb" "$scratch/second/hattsheet_${deb_version}_$arch.deb" || fail "two packages of one tree differ"

# Control fields: field, extended regular expression its value must match.
while IFS='|' read -r field pattern; do
  value=$(dpkg-deb -f "$deb" "$field")
  pattern=$(lines "$pattern")
  [[ $value =~ $pattern ]] || fail "control field $field is '$value', wanted /$pattern/"
done <<EOF
Package|^hattsheet$
Version|^$deb_version_re$
Architecture|^$arch$
Section|^science$
Priority|^optional$
Maintainer|^[^<>]+ <[^@<> ]+@[^@<> ]+>$
Homepage|^https://
Depends|(^|, )libc6 \(>= [0-9.]+\)
Depends|(^|, )libstdc\+\+6 \(>= [0-9.]+\)
Depends|(^|, )libqt6widgets6 \(>= [0-9.~]+\)
Depends|(^|, )libqt6core6
Description|^move Hatt projection coordinates between Greek map sheets\n hattsheet carries
Description|\n \.\n
Description|^[^&<>]*$
EOF

# Every file and link, no folders: exactly these, so nothing else lands anywhere.
expected_files=(
  ./usr/bin/hattsheet
  ./usr/bin/hattsheet-convert
  ./usr/share/applications/hattsheet.desktop
  ./usr/share/doc/hattsheet/changelog.Debian.gz
  ./usr/share/doc/hattsheet/copyright
  ./usr/share/icons/hicolor/128x128/apps/hattsheet.png
  ./usr/share/icons/hicolor/16x16/apps/hattsheet.png
  ./usr/share/icons/hicolor/256x256/apps/hattsheet.png
  ./usr/share/icons/hicolor/32x32/apps/hattsheet.png
  ./usr/share/icons/hicolor/48x48/apps/hattsheet.png
  ./usr/share/icons/hicolor/64x64/apps/hattsheet.png
  ./usr/share/icons/hicolor/scalable/apps/hattsheet.svg
  ./usr/share/man/man1/hattsheet-convert.1.gz
  ./usr/share/man/el/man1/hattsheet-convert.1.gz
  ./usr/share/man/man1/hattsheet.1.gz
  ./usr/share/metainfo/io.github.hattsheet.hattsheet.metainfo.xml
)
contents=$(dpkg-deb --contents "$deb")
actual=$(awk '$1 !~ /^d/ { print $6 }' <<<"$contents" | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected_files[@]}" | LC_ALL=C sort)
[[ $actual == "$wanted" ]] || fail "file list differs (< packaged, > wanted):"$'\n'"$(diff <(echo "$actual") <(echo "$wanted"))"
awk '$2 != "root/root" || ($1 ~ /^d/ && $1 != "drwxr-xr-x") || ($1 ~ /^-/ && $1 !~ /^-rw[x-]r-[x-]r-[x-]$/)' \
  <<<"$contents" | grep . && fail "owner or permissions above"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
for program in hattsheet hattsheet-convert; do
  file -b "$root/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
# Every shared library a program needs (GeographicLib's too, once it is
# called) comes from a package that Depends names.
depends=$(dpkg-deb -f "$deb" Depends)
needed=$(readelf -d "$root/usr/bin/hattsheet" "$root/usr/bin/hattsheet-convert" |
  sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p' | LC_ALL=C sort -u)
for soname in $needed; do
  library=$(ldconfig -p | awk -v s="$soname" '$1 == s && /x86-64|AArch64|64bit/ {print $NF; exit}')
  owner=$(dpkg -S "$library" 2>/dev/null || dpkg -S "/usr$library" 2>/dev/null || dpkg -S "${library#/usr}" 2>/dev/null) ||
    { fail "no package holds $soname ($library)"; continue; }
  owner=${owner%%:*}
  [[ ", $depends," == *", $owner "* || ", $depends," == *", $owner,"* ]] || fail "$soname ($owner) is not in Depends: $depends"
done

# The installed command line: what it prints, and its exit status.
convert=$root/usr/bin/hattsheet-convert
# Each row under its LANG (LC_ALL and LC_MESSAGES unset): the messages' language.
while IFS='|' read -r name language arguments status pattern; do
  pattern=$(lines "$pattern")
  # shellcheck disable=SC2086 # the arguments are words
  out=$(env -u LC_ALL -u LC_MESSAGES LANG="$language" "$convert" $arguments 2>&1)
  got=$?
  [[ $got == "$status" && $out =~ $pattern ]] || fail "hattsheet-convert $name: exit $got, output: $out"
done <<EOF
version|C.UTF-8|--version|0|^hattsheet-convert $version_re$
help lists exit 0|C.UTF-8|--help|0|\nExit status:\n  0 +done
help lists exit 1|C.UTF-8|--help|0|\n  1 +a failing record, or a file that cannot be read or written
help lists exit 2|C.UTF-8|--help|0|\n  2 +a refused sheet centre or coordinate
help lists exit 64|C.UTF-8|--help|0|\n  64 +usage error
help in Greek|el_GR.UTF-8|--help|0|\nΚατάσταση εξόδου:\n  0 +ολοκληρώθηκε
worked example|C.UTF-8|--from 40.51,-0.51 --to 40.45,-0.45 --point 1000,2000|0|^Χ = -7429\.270\nΥ = 13107\.462\n
refused centre|el_GR.UTF-8|--from 42.01,-0.51 --to 40.45,-0.45 --point 1000,2000|2|^hattsheet-convert: Λάθος στο Φ\. \(--from 42\.01: από 34° έως 42°\)$
refused centre in English|C.UTF-8|--from 42.01,-0.51 --to 40.45,-0.45 --point 1000,2000|2|^hattsheet-convert: latitude refused
usage error|C.UTF-8|--from 40.51,-0.51|64|^hattsheet-convert: --from and --to are both needed\nhattsheet-convert: see hattsheet-convert --help$
usage error in Greek|el_GR.UTF-8|--from 40.51,-0.51|64|\nhattsheet-convert: δείτε hattsheet-convert --help$
EOF

# Metadata and man pages, each by its own validator: exit 0 and no remark
# beyond the given one.
share=$root/usr/share
while IFS='|' read -r name allowed command; do
  out=$(cd "$share" && eval "$command" 2>&1)
  status=$?
  [[ $status == 0 && $out =~ ^$allowed$ ]] || fail "$name (exit $status): $out"
done <<'EOF'
desktop entry||desktop-file-validate applications/hattsheet.desktop
AppStream metadata|✔ Validation was successful\.|appstreamcli validate --no-net --pedantic --no-color metainfo/*.xml
man page hattsheet||man --warnings -E UTF-8 -l -Tutf8 -Z man/man1/hattsheet.1.gz 2>&1 >/dev/null
man page hattsheet-convert||man --warnings -E UTF-8 -l -Tutf8 -Z man/man1/hattsheet-convert.1.gz 2>&1 >/dev/null
man page hattsheet-convert (el)||man --warnings -E UTF-8 -l -Tutf8 -Z man/el/man1/hattsheet-convert.1.gz 2>&1 >/dev/null
EOF

# One version everywhere: changelog, metadata release, man pages.
changelog_version=$(zcat "$share/doc/hattsheet/changelog.Debian.gz" | dpkg-parsechangelog -l - -S Version)
[[ $changelog_version == "$deb_version" ]] || fail "changelog says $changelog_version"
grep -q "<release version=\"$version\"" "$share/metainfo/io.github.hattsheet.hattsheet.metainfo.xml" ||
  fail "metainfo has no release $version"
for page in hattsheet hattsheet-convert; do
  zcat "$share/man/man1/$page.1.gz" | head -1 | grep -q "\"hattsheet $version\"" || fail "$page.1 has no version $version"
done
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$share/doc/hattsheet/copyright" ||
  fail "copyright is not machine-readable"
tr '\n' ' ' <"$share/doc/hattsheet/copyright" | grep -q 'GeographicLib, Copyright [0-9-]* *Charles Karney, under the MIT' ||
  fail "copyright does not name GeographicLib, its author and licence"

# lintian: any tag fails (hardening, unneeded sections...), but the one
# every first upload gets.
lintian -I -E --pedantic --suppress-tags initial-upload-closes-no-bugs --fail-on error,warning,info,pedantic \
  --tag-display-limit 0 "$deb" || fail "lintian"

[[ $failures == 0 ]] || { echo "$failures check(s) failed"; exit 1; }
echo "$(basename "$deb"): all checks passed"
