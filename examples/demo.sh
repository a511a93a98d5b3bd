#!/usr/bin/env bash
# Runs both programs on the example inputs. Argument: the directory of the built executables.
set -euo pipefail
bin=$(cd "${1:-build/bin}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "== Cryslink without arguments (usage) =="
"$bin/Cryslink" || true
