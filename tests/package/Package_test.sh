#!/usr/bin/env bash
# Unpacks the package into a temporary root and runs what it holds from there: one demonstration
# analysis of the station, the simulator's help, the menu entry, the help and the icons.
# Exit 77 (skipped) when no package has been built.
set -uo pipefail

package=${NIVRA_PACKAGE:-$1}
if [ ! -f "$package" ]; then
  echo "no package at $package: scripts/package builds it" >&2
  exit 77
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

dpkg-deb -x "$package" "$root/unpacked" || { echo "FAIL: dpkg-deb -x $package" >&2; exit 1; }
usr=$root/unpacked/usr

for program in NivraExe nivra nivra-chromsim nivra-summsim nivra-remote nivra-reglisten nivra-tryfolder; do
  [ -x "$usr/bin/$program" ] || fail "no $program in usr/bin"
done

# Only what Debian ships: every library the programs load is found without help.
unset LD_LIBRARY_PATH
for program in "$usr"/bin/*; do
  missing=$(ldd "$program" 2>&1 | grep 'not found')
  [ -z "$missing" ] || fail "$(basename "$program") needs libraries the system lacks: $missing"
done

# A fresh program folder: the first start makes it, then one analysis on the synthetic signal.
export QT_QPA_PLATFORM=offscreen
export NIVRA_MAILSLOT_DIR=$root/mailslot
if timeout 180 "$usr/bin/NivraExe" --headless --cycles 1 --demo --dir "$root/station" \
     >"$root/station.out" 2>"$root/station.err"; then
  grep -q . "$root/station.out" || fail "the station printed no results"
  find "$root/station" -name data.tim | grep -q . || fail "no data.tim after the analysis"
else
  fail "NivraExe --headless --cycles 1 --demo exited $?: $(tail -n 20 "$root/station.err")"
fi

if "$usr/bin/nivra-chromsim" --help >"$root/chromsim.out" 2>&1; then
  grep -qi 'usage' "$root/chromsim.out" || fail "nivra-chromsim --help printed no usage: $(cat "$root/chromsim.out")"
else
  fail "nivra-chromsim --help failed: $(cat "$root/chromsim.out")"
fi

desktop=$usr/share/applications/nivra.desktop
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
  grep -qx 'Exec=nivra' "$desktop" || fail "the menu entry does not start the launcher"
else
  fail "no menu entry"
fi

[ -f "$usr/share/nivra/help/index.html" ] || fail "no help in share/nivra/help"
[ -f "$usr/share/icons/hicolor/scalable/apps/nivra.svg" ] || fail "no scalable icon"
for size in 48 128 256; do
  [ -s "$usr/share/icons/hicolor/${size}x${size}/apps/nivra.png" ] || fail "no ${size}x${size} icon"
done

dpkg-deb -e "$package" "$root/control"
grep -q dialout "$root/control/postinst" || fail "the package does not tell about the dialout group"

[ "$failures" -eq 0 ] && echo "package: $package passed"
exit $((failures > 0))
