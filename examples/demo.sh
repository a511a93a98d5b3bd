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

echo "== Cryslink ConvF09p: a TORV run as an XSF animation and CIF files =="
mkdir "$work/torv"
cp "$here"/cryslink/torv/sio2.* "$work/torv/"
(cd "$work/torv" && "$bin/Cryslink" --Action=ConvF09p --nOutputInterval=4 sio2.f9p)
echo "-- $work/torv/sio2.xsf, the first frame:"
sed -n '1,30p' "$work/torv/sio2.xsf"
echo "-- $work/torv/sio2-averaged.cif, the cell:"
grep '^_cell' "$work/torv/sio2-averaged.cif"

echo "== Cryslink AddHistoryCSV: the run's log as step and cell tables =="
(cd "$work/torv" && "$bin/Cryslink" --Action=AddHistoryCSV --nOutputInterval=3 sio2.f06 | tail -4)
for f in sio2-History.csv sio2-History2.csv; do
  echo "-- $work/torv/$f:"
  cat "$work/torv/$f"
done
echo "== Cryslink VASPConvCONTCAR and VASPMakeXSF: a VASP MD run of two water molecules =="
cp -r "$here/cryslink/vasp-h2o-md" "$work/"
(cd "$work" && "$bin/Cryslink" --Action=VASPConvCONTCAR vasp-h2o-md/POSCAR | grep -v "^  Site:")
(cd "$work" && "$bin/Cryslink" --Action=VASPMakeXSF vasp-h2o-md/POSCAR | grep -v "^  Site:")
echo "-- $work/vasp-h2o-md/h2o-md.xsf, the first frame:"
sed -n '1,18p' "$work/vasp-h2o-md/h2o-md.xsf"
echo "== Cryslink CASTEPConvOutput: an MD run as XSF frames, CIF files and a CAR file =="
cp "$here/cryslink/Si8-md-NPT.castep" "$work/"
(cd "$work" && "$bin/Cryslink" --Action=CASTEPConvOutput --nOutputInterval=5 Si8-md-NPT.castep | grep -v '^Si (')
echo "-- $work/Si8-md-NPT.car.new:"
cat "$work/Si8-md-NPT.car.new"
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
