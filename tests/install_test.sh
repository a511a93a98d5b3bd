#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs both programs from there:
# Cryslink must find its databases in <prefix>/share/cryslink, and latfit must
# run with the library of <prefix>/share/latfit named in its control input.
# Arguments: the build directory and the source directory.
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null

for f in bin/latfit bin/Cryslink share/cryslink/nonrel share/cryslink/asfdc share/cryslink/spgra \
         share/latfit/spacegroups.dat; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done

# The summary of rutile (operations from spgra, masses from nonrel) equals the
# one of the built program reading the databases of the source tree.
work="$prefix/work"
mkdir "$work"
cd "$work"
drop_paths() { grep -v -e 'Path *:' -e '^arg: --DBDir='; }
installed=$("$prefix/bin/Cryslink" --Action=ShowCIFInf "$source/examples/cryslink/rutile.cif")
grep -qF "SPGDBPath :  $prefix/share/cryslink/spgra" <<< "$installed" || { echo "$installed"; exit 1; }
built=$("$build/bin/Cryslink" --DBDir="$source/data" --Action=ShowCIFInf "$source/examples/cryslink/rutile.cif")
diff <(drop_paths <<< "$built") <(drop_paths <<< "$installed")

# latfit on the MgO example, its library named by a path into the installed
# share/latfit (a control record holds 20 columns, so through a short link).
cp "$source"/examples/latfit/mgo/{mgo.str,mgo.atm} .
ln -s "$prefix/share/latfit" lib
sed 's|^symmetry.dat$|lib/spacegroups.dat|' "$source/examples/latfit/mgo/control.txt" > control.txt
"$prefix/bin/latfit" < control.txt > stdout.txt
for f in mgo.cry mgo.crd mgo.dis; do
  diff "$source/tests/data/latfit/mgo/$f.expected" "$f"
done
echo "installed programs run"
