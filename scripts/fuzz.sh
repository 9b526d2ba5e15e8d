#!/usr/bin/env bash
# Builds one fuzz target against libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs it:
#   scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]   fuzz for SECONDS, print the statistics
#   scripts/fuzz.sh TARGET INPUT-FILE                        run one saved input again
# TARGET is a file name of fuzz/ without .cpp (fuzz_controller; "controller" works too).
#
# The build tree is build-fuzz/ (clang, QARRUM_LIBFUZZER=ON, QARRUM_SANITIZE=ON), made or brought
# up to date on every call. Each target works in build-fuzz/fuzz/TARGET/: a working corpus seeded
# from fuzz/corpus/TARGET (the repository's seeds are never written; the working corpus is kept
# between runs, FUZZ_FRESH=1 starts it again from the seeds), crashes/ for the inputs of findings,
# and run.log with libFuzzer's whole output. Exit status 0 means no finding.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  echo "usage: scripts/fuzz.sh TARGET SECONDS [libFuzzer options...] | scripts/fuzz.sh TARGET INPUT-FILE" >&2
  exit 2
}
[ $# -ge 2 ] || usage
target=$1
[[ $target == fuzz_* ]] || target=fuzz_$target
if [ ! -f "$root/fuzz/$target.cpp" ]; then
  echo "error: no fuzz target '$target'; there are: $(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//' | tr '\n' ' ')" >&2
  exit 2
fi
mode=run
if [[ $2 =~ ^[0-9]+$ ]] && [ "$2" -gt 0 ]; then
  seconds=$2
elif [ -f "$2" ]; then
  mode=repro
  input=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
else
  usage
fi
shift 2

"$root/scripts/install-deps.sh" --fuzz

dir=$root/build-fuzz
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
            -DQARRUM_LIBFUZZER=ON -DQARRUM_SANITIZE=ON)
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" "${generator[@]}" "${cmake_args[@]}" >/dev/null
fi
# Only the target: the rest of a libFuzzer tree (tools that draw the data, tests) is not needed.
cmake --build "$dir" --target "$target" --parallel "$(nproc)"

work=$dir/fuzz/$target
mkdir -p "$work/corpus" "$work/crashes" "$work/tmp"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Font configuration caches that Qt loads once per process would otherwise end the first run.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp}
export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
# Targets that write files make their scratch folders under TMPDIR. The controller writes and
# removes a few on every input; on a disk, syncing them would take most of the time.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  TMPDIR=$(mktemp -d /dev/shm/qarrum-fuzz.XXXXXX)
  trap 'rm -rf "$TMPDIR"' EXIT
else
  TMPDIR=$work/tmp
fi
export TMPDIR

if [ "$mode" = repro ]; then
  "$dir/bin/$target" "$@" "$input"
  exit
fi

if [ "${FUZZ_FRESH:-0}" = 1 ]; then
  rm -rf "${work:?}/corpus"
  mkdir -p "$work/corpus"
fi
if [ -d "$root/fuzz/corpus/$target" ]; then
  cp -n "$root/fuzz/corpus/$target"/* "$work/corpus/" 2>/dev/null || true
fi

log=$work/run.log
echo "fuzzing $target for $seconds s (log: ${log#"$root"/})"
set +e
# A slow input (10 s) or a process above 2 GB is a finding as well: both mean work or memory that
# grows with the input.
"$dir/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/crashes/" "$@" "$work/corpus" >"$log" 2>&1
status=$?
set -e

# A finding prints the statistics twice (at the finding and at exit): the last ones count.
stat() { awk -v key="stat::$1:" '$1 == key { value = $2 } END { print value }' "$log"; }
# The last status line ("#123 DONE cov: 456 ft: 789 corp: 12/3456b ...") holds the coverage.
last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
field() { awk -v key="$1:" '{ for (i = 1; i < NF; i++) if ($i == key) { print $(i + 1); exit } }' <<<"$last"; }
echo "$target: $seconds s, executions $(stat number_of_executed_units), exec/s $(stat average_exec_per_sec)," \
     "coverage $(field cov) edges, $(field ft) features, corpus $(field corp | cut -d/ -f1) inputs," \
     "peak RSS $(stat peak_rss_mb) MB"
if [ "$status" -ne 0 ]; then
  echo "FINDING (exit status $status):"
  grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|artifact_prefix|Test unit written|==[0-9]+== ERROR)' "$log" | head -n 20
  echo "whole report: ${log#"$root"/}; run the input again with: scripts/fuzz.sh $target INPUT-FILE"
  exit "$status"
fi
echo "no finding"
