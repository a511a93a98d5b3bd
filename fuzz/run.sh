#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each, two at a time, on a
# seed corpus gathered from the test fixtures, the examples, the databases,
# fuzz/seeds/<target>/ and the shared corpus of real files when it lies beside
# the checkout. Works in a temporary directory; a failing input is left there
# and named in the output: keep it under tests/regressions/<target>/ once fixed.
# Usage: fuzz/run.sh BUILD_DIR SECONDS [target...]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=$2
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(sed -n '/^set(FUZZ_TARGETS/,/^)/{/^  [a-z_0-9]*$/p}' "$source_dir/fuzz/targets.cmake" | tr -d ' ')
fi
shared="$source_dir/../shared/corpus"
work=$(mktemp -d)

# The seed files of a target, one per line.
seeds() {
  local s=$source_dir
  case $1 in
    cif_fuzzer) ls "$s"/tests/data/cryslink/cif/*.cif "$s"/examples/cryslink/*.cif
                [ -d "$shared/cif" ] && ls "$shared"/cif/*.cif ;;
    nonrel_fuzzer) echo "$s/data/nonrel" ;;
    asfdc_fuzzer) echo "$s/data/asfdc" ;;
    spgra_fuzzer) echo "$s/data/spgra" ;;
    update_file05_fuzzer) ls "$s"/examples/cryslink/*.f05 "$s"/tests/data/cryslink/md/*.f05 ;;
    latfit_list_fuzzer) ls "$s"/examples/latfit/mgo/mgo.* "$s"/tests/data/latfit/fortran_formats.txt ;;
    latfit_structure_fuzzer) echo "$s/examples/latfit/mgo/mgo.str" ;;
    latfit_atomic_fuzzer) echo "$s/examples/latfit/mgo/mgo.atm" ;;
  esac
  [ -d "$s/fuzz/seeds/$1" ] && ls -d "$s/fuzz/seeds/$1"/*
  [ -d "$s/tests/regressions/$1" ] && ls -d "$s/tests/regressions/$1"/*
  true
}

run_one() {
  local t=$1
  mkdir -p "$work/$t/corpus" "$work/$t/artifacts" "$work/$t/tmp"
  seeds "$t" | while read -r f; do [ -f "$f" ] && cp "$f" "$work/$t/corpus/"; done
  # A database seed is cut to its first part too, so short inputs start near real ones.
  for f in "$work/$t"/corpus/*; do head -c 3000 "$f" > "$f.head"; done
  # The target's scratch files go below the work directory (libFuzzer may end
  # the process before the target's own clean-up runs).
  if TMPDIR="$work/$t/tmp" "$build/fuzz/$t" "$work/$t/corpus" -max_total_time="$seconds" -max_len=16384 -timeout=20 \
       -rss_limit_mb=2048 -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$work/$t/artifacts/" \
       > "$work/$t/log.txt" 2>&1; then
    echo "$t: $(grep -m1 'stat::number_of_executed_units' "$work/$t/log.txt" | awk '{print $2}') runs, no failure"
  else
    echo "$t: FAILED; log $work/$t/log.txt, input in $work/$t/artifacts/"
    return 1
  fi
}
export -f run_one seeds
export work build seconds source_dir shared

status=0
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run_one {}' || status=1
[ $status -eq 0 ] && rm -rf "$work"
exit $status
