#!/usr/bin/env bash
# The real program with its windows under Xvfb against the simulated chromatograph: F5 runs an
# analysis that reaches data.tim, a second NivraExe and the launcher on the same folder only
# bring the running one to the front, SIGTERM closes it through its closing sequence.
# Screenshots during and after the analysis stay in OUT for people to look at.
# Usage: Smoke_test.sh SOURCE BUILD OUT
set -euo pipefail
source_dir=$1 build=$2 out=$3
station=$build/bin/NivraExe launcher=$build/bin/nivra
simulator=$build/tools/chromsim/nivra-chromsim
tool=$build/tools/tryfolder/nivra-tryfolder

if [ -z "${NIVRA_SMOKE_INNER:-}" ]; then
  command -v xvfb-run >/dev/null && command -v xdotool >/dev/null && command -v import >/dev/null \
    || { echo "smoke: xvfb-run, xdotool or ImageMagick missing"; exit 77; }
  export NIVRA_SMOKE_INNER=1
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$0" "$@"
fi

mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "smoke: $*" >&2; [ -f "$work/station.err" ] && cat "$work/station.err" >&2; exit 1; }

# Until gone or the deadline; true when the condition held.
until_true() {
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}

setsid "$simulator" --speed 4 --length 85 --seed 3 >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
until_true 10 test -s "$work/sim.out" || fail "the simulator printed no terminal"
terminal=$(head -n 1 "$work/sim.out")

folder=$work/station
"$source_dir/scripts/try-prepare" --station "$station" --tool "$tool" "$folder" "$terminal" --length 85 --seed 3 >/dev/null
# By hand, so that F5 starts the one analysis.
sed -i 's/^work_mode=.*/work_mode=00000000\r/' "$folder/хроматограф.ini"
export NIVRA_MAILSLOT_DIR=$folder/mailslot

"$station" --dir "$folder" >"$work/station.out" 2>"$work/station.err" &
station_pid=$!
pids+=("$station_pid")
window=$(timeout 30 xdotool search --sync --onlyvisible --name "Хроматограф" | head -n 1) || fail "no main window"
sleep 1  # the first paint; nothing waits on it but the screenshot
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --window "$window" F5

results=$folder/default/default/data.tim
sleep 8
import -window root "$out/smoke-during-cycle.png"
until_true 60 test -s "$results" || fail "no record in data.tim"
sleep 2
import -window root "$out/smoke-after-cycle.png"

# A second station on the same folder only raises the first.
timeout 20 "$station" --dir "$folder" >"$work/second.out" 2>"$work/second.err" || fail "second NivraExe: status $?"
grep -q "already runs" "$work/second.err" || fail "second NivraExe did not defer: $(cat "$work/second.err")"
timeout 20 "$launcher" --dir "$folder" || fail "launcher: status $?"
sleep 1
[ "$(pgrep -c -f "NivraExe --dir $folder")" = 1 ] || fail "more than one station runs on the folder"

kill -TERM "$station_pid"
until_true 60 bash -c "! kill -0 $station_pid 2>/dev/null" || fail "SIGTERM did not close the window"
wait "$station_pid" || fail "NivraExe ended with status $?"
grep -a -q "$(printf 'Закрытие программы' | iconv -f UTF-8 -t CP1251)" "$folder/события.txt" || fail "journal not saved"
grep -a -q "^\[$(printf 'главное_окно' | iconv -f UTF-8 -t CP1251)\]" "$folder/хроматограф.ini" || fail "placement not saved"
echo "smoke: passed; screenshots in $out"
