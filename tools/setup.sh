#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are absent
# (python3-ase reads back what the converters write, and brings the python3 that
# runs the checks of tools/; strace traces the database openings of a run).
# With --generators it also installs what the data generators in tools/ use;
# with --fuzz, clang and its libFuzzer runtime for the fuzz targets.
set -euo pipefail
packages=(cmake make g++ libgtest-dev libbenchmark-dev python3-ase strace)
if [ "${1:-}" = "--generators" ]; then
  packages+=(python3-spglib python3-pymatgen python3-gemmi python3-openbabel gfortran)
fi
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
