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
    history_csv_fuzzer) ls "$s"/examples/cryslink/torv/*.f06 "$s"/tests/data/cryslink/md/*.f06 ;;
    castep_fuzzer) ls "$s"/examples/cryslink/*.castep; [ -d "$shared/castep" ] && ls "$shared"/castep/*.castep ;;
    wien2k_struct_fuzzer) ls "$s"/examples/cryslink/*.struct; [ -d "$shared/wien2k" ] && ls "$shared"/wien2k/*.struct ;;
    gulp_fuzzer) ls "$s"/examples/cryslink/*.gin; [ -d "$shared/gulp" ] && ls "$shared"/gulp/*.gin ;;
    dvxa_fuzzer) echo "$s/examples/cryslink/F01" ;;
  esac
  [ -d "$s/fuzz/seeds/$1" ] && ls -d "$s/fuzz/seeds/$1"/*
  [ -d "$s/tests/regressions/$1" ] && ls -d "$s/tests/regressions/$1"/*
  true
}

# Writes the files named (each cut to 6000 bytes; a name "-" for a file left out) as
# one packed run, the input of the targets that read several files.
pack() {
  local out=$1 first=1
  shift
  for f in "$@"; do
    [ $first -eq 1 ] || printf '\n--8<--\n'
    first=0
    [ "${f##*/}" = - ] || head -c 6000 "$f"
  done > "$out"
}

# The packed seeds of the targets that read a run of several files, into directory $2.
packed_seeds() {
  local s=$source_dir d=$2 e=$source_dir/examples/cryslink c=$shared
  case $1 in
    torv_fuzzer) pack "$d/sio2" "$e"/torv/sio2.{f05,f07,f9p,f9v}
                 pack "$d/run3" "$s"/tests/data/cryslink/md/run3.{f05,f07,f9p,f9v} ;;
    vasp_fuzzer) pack "$d/h2o-md" "$e"/vasp-h2o-md/{POSCAR,-,INCAR,CONTCAR,OUTCAR}
                 pack "$d/ch4-ml" "$s"/tests/data/cryslink/vasp/ch4_ml/{POSCAR,-,INCAR,-,OUTCAR}
                 [ -d "$c/vasp" ] || return 0
                 pack "$d/AlN" "$c"/vasp/AlN_static/{POSCAR,POTCAR,-,CONTCAR,-}
                 pack "$d/Si" "$c"/vasp/Si_relax/{POSCAR,-,-,-,OUTCAR}
                 pack "$d/FeS2" "$c"/vasp/POSCAR_FeS2_slab_selective
                 pack "$d/anatase" "$c"/vasp/POSCAR_anatase_vasp4 ;;
    siesta_fuzzer) for f in "$s"/tests/data/cryslink/siesta/*.out; do pack "$d/$(basename "$f")" - "$f"; done
                   [ -d "$c/siesta" ] || return 0
                   for f in "$c"/siesta/*.out; do pack "$d/$(basename "$f")" - "$f"; done ;;
    pwscf_fuzzer) [ -d "$c/pwscf" ] || return 0
                  pack "$d/NaCl" "$c"/pwscf/NaCl-001_scf{_ibrav0.in,.out}
                  pack "$d/TiO2" "$c"/pwscf/TiO2_vc-relax_sg136.{in,out}
                  pack "$d/Al" "$c"/pwscf/relax2_Al_slab{_ibrav6.in,.out}
                  pack "$d/Si" - "$c"/pwscf/Si_md_v5.3.out ;;
    wien2k_dos_fuzzer) pack "$d/case" "$e"/wien2k-dos/case.{int,dos1ev}
                       [ -d "$c/wien2k" ] && pack "$d/CrO2" "$c"/wien2k/ok.int - "$c"/wien2k/CrO2-sp.dos1ev{up,dn} ;;
  esac
  true
}

run_one() {
  local t=$1
  mkdir -p "$work/$t/corpus" "$work/$t/artifacts" "$work/$t/tmp"
  seeds "$t" | while read -r f; do [ -f "$f" ] && cp "$f" "$work/$t/corpus/"; done
  packed_seeds "$t" "$work/$t/corpus"
  # A database seed is cut to its first part too, so short inputs start near real ones.
  for f in "$work/$t"/corpus/*; do head -c 3000 "$f" > "$f.head"; done
  # The target's scratch files go below the work directory (libFuzzer may end
  # the process before the target's own clean-up runs).
  if TMPDIR="$work/$t/tmp" "$build/fuzz/$t" "$work/$t/corpus" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
       -rss_limit_mb=2048 -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$work/$t/artifacts/" \
       > "$work/$t/log.txt" 2>&1; then
    echo "$t: $(grep -m1 'stat::number_of_executed_units' "$work/$t/log.txt" | awk '{print $2}') runs, no failure"
  else
    echo "$t: FAILED; log $work/$t/log.txt, input in $work/$t/artifacts/"
    return 1
  fi
}
export -f run_one seeds pack packed_seeds
export work build seconds source_dir shared

status=0
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run_one {}' || status=1
[ $status -eq 0 ] && rm -rf "$work"
exit $status
