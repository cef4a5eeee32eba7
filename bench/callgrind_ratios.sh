#!/bin/sh
# Instruction counts under callgrind, which do not move with the machine's
# load, for the two window ratios:
#   refresh  instructions per DFT-mode refresh of the window (poll-timer
#            refresh with logV off, and "Update" refresh with logV on)
#            against one direct pass of the same 39 reads
#   startup  instructions of the start-up probe programs, the product's
#            window against the bare one, from process start to exit
#
#   bench/callgrind_ratios.sh [BUILD_DIR] [CALLS]
#
# BUILD_DIR defaults to build-bench, CALLS (refreshes per probe) to 200. The
# callgrind files stay in $KV_CALLGRIND_DIR (default: a fresh temporary
# folder, printed at the end) for callgrind_annotate.
set -eu

build=${1:-build-bench}
calls=${2:-200}
out=${KV_CALLGRIND_DIR:-$(mktemp -d)}
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen

# Inclusive instruction count of one function in a callgrind file.
inclusive() {
  callgrind_annotate --inclusive=yes "$1" 2>/dev/null |
    awk -v f="$2" 'index($0, f) { gsub(",", "", $1); print $1; exit }'
}
# Total instruction count of a callgrind file.
total() {
  awk '/^(summary|totals):/ { print $2; exit }' "$1"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
per_call() { awk -v a="$1" -v n="$calls" 'BEGIN { printf "%.0f", a / n }'; }

valgrind --tool=callgrind --toggle-collect='kvbench::Probe*' \
  --callgrind-out-file="$out/refresh.cg" "$build/bench/window_bench" --ir_probe="$calls" \
  >"$out/refresh.txt" 2>"$out/refresh.log"
auto=$(per_call "$(inclusive "$out/refresh.cg" 'kvbench::ProbeWindowRefresh(')")
logged=$(per_call "$(inclusive "$out/refresh.cg" 'kvbench::ProbeWindowRefreshLogged(')")
direct=$(per_call "$(inclusive "$out/refresh.cg" 'kvbench::ProbeDirectReads(')")
echo "refresh: $(cat "$out/refresh.txt")"
echo "refresh: Ir per call: window_auto $auto, window_update $logged, direct_39 $direct"
echo "refresh: window_auto/direct_39 = $(ratio "$auto" "$direct"), window_update/direct_39 = $(ratio "$logged" "$direct")"

for program in startup_form1 startup_bare; do
  valgrind --tool=callgrind --callgrind-out-file="$out/$program.cg" "$build/bench/$program" \
    >/dev/null 2>"$out/$program.log"
done
form1=$(total "$out/startup_form1.cg")
bare=$(total "$out/startup_bare.cg")
echo "startup: Ir form1 $form1, bare $bare, form1/bare = $(ratio "$form1" "$bare")"
echo "callgrind files: $out"
