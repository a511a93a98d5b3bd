#!/usr/bin/env bash
# Runs both programs on the example inputs. Argument: the directory of the built executables.
set -euo pipefail
bin=$(cd "${1:-build/bin}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "== Cryslink without arguments (usage) =="
"$bin/Cryslink" || true

echo "== Cryslink UpdateFILE05: the next TORV control file =="
cp "$here/cryslink/quartz-003.f05" "$work/"
(cd "$work" && "$bin/Cryslink" --Action=UpdateFILE05 --sn=4 --nCycle=2000 --NextTemperature=500 \
    --TemperatureRate=2.5 --ControlStep=10 --NextPressure=1.5 quartz-003.f05)
echo "-- $work/quartz-004.f05:"
cat "$work/quartz-004.f05"

echo "== latfit on the MgO example: the lattice constant of MgO refined =="
mkdir "$work/latfit"
cp "$here"/latfit/mgo/* "$work/latfit/"
(cd "$work/latfit" && "$bin/latfit" < control.txt)
for f in mgo.cry mgo.crd mgo.dis; do
  echo "-- $work/latfit/$f:"
  cat "$work/latfit/$f"
done

echo "== Cryslink ShowCIFInf: summary of a CIF file =="
"$bin/Cryslink" --Action=ShowCIFInf --ShowAllAtoms=1 "$here/cryslink/rutile.cif"

echo "== Cryslink CalRDF: radial distribution functions of a CIF file =="
(cd "$work" && "$bin/Cryslink" --Action=CalRDF --CalcRDF=1 --CoordinationNumber=6 "$here/cryslink/rutile.cif")
echo "-- $work/Ti-O-RDF.csv, the first shell:"
sed -n '78,82p' "$work/Ti-O-RDF.csv"

echo "== Cryslink WIENMakeCIFFromStruct: an F-centred WIEN2k structure to CIF =="
cp "$here/cryslink/NaCl.struct" "$work/"
(cd "$work" && "$bin/Cryslink" --Action=WIENMakeCIFFromStruct NaCl.struct)
echo "-- $work/NaCl.cif, formula and first operations:"
grep -A4 -e "_chemical_formula_sum" -e "_symmetry_equiv_pos_as_xyz" "$work/NaCl.cif"

echo "== Cryslink WIENConvDOS: WIEN2k densities of states to CSV =="
cp "$here"/cryslink/wien2k-dos/case.* "$work/"
(cd "$work" && "$bin/Cryslink" --Action=WIENConvDOS case.int)
echo "-- $work/case.dos.csv:"
cat "$work/case.dos.csv"

echo "== Cryslink GULPMakeCIFFromInput: a GULP input with a shell model to CIF =="
cp "$here/cryslink/MgO.gin" "$work/"
(cd "$work" && "$bin/Cryslink" --Action=GULPMakeCIFFromInput MgO.gin)
echo "-- $work/MgO.cif, formula, group and ion charges:"
grep -e "_chemical_formula_sum" -e "_symmetry_space_group_name_H-M" "$work/MgO.cif"
sed -n '/_atom_type_oxidation_number/,/^$/p' "$work/MgO.cif"

echo "== Cryslink DVXaF01Conv: spin and Madelung lines of a DV-Xa F01 file =="
cp "$here/cryslink/F01" "$work/"
(cd "$work" && "$bin/Cryslink" --Action=DVXaF01Conv --Spin=n --Madelung=0 F01)
echo "-- $work/F01 (the original is kept as F01.prev):"
cat "$work/F01"
