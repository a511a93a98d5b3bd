#!/usr/bin/env python3
"""Runs every action of Cryslink on the real files of the corpus and on the
examples, each in a directory of its own under OUTDIR, and keeps what it
printed (stdout.txt) and every file it wrote. Two such trees, made by two
builds, compare byte for byte with `diff -r` (the creation dates in CIF and
CAR files are masked):

    python3 tools/corpus_outputs.py build/bin/Cryslink /tmp/before
    ... change, rebuild ...
    python3 tools/corpus_outputs.py build/bin/Cryslink /tmp/after
    diff -r /tmp/before /tmp/after

Standard library only. The corpus is looked for beside the checkout
(../shared/corpus); runs on absent files are left out.
"""
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
CORPUS = os.path.join(os.path.dirname(SOURCE), "shared", "corpus")


def corpus(path):
    return os.path.join(CORPUS, path)


def source(path):
    return os.path.join(SOURCE, path)


def torv(stem):
    return {f"sio2.{ext}": source(f"examples/cryslink/torv/{stem}.{ext}") for ext in ("f05", "f06", "f07", "f9p", "f9v")}


# name -> (files: run name -> source, arguments)
RUNS = {
    "torv": (torv("sio2"), ["--Action=ConvF09p", "--nOutputInterval=4", "--CalcRDF=1", "sio2.f9p"]),
    "torv-history": (torv("sio2"), ["--Action=AddHistoryCSV", "--nOutputInterval=3", "sio2.f06"]),
    "update-file05": ({"q-003.f05": source("examples/cryslink/quartz-003.f05")},
                      ["--Action=UpdateFILE05", "--sn=4", "--nCycle=2000", "--NextTemperature=500", "q-003.f05"]),
    "dvxa": ({"F01": source("examples/cryslink/F01")}, ["--Action=DVXaF01Conv", "--Spin=n", "F01"]),
    "wien-dos": ({"case.int": source("examples/cryslink/wien2k-dos/case.int"),
                  "case.dos1ev": source("examples/cryslink/wien2k-dos/case.dos1ev")},
                 ["--Action=WIENConvDOS", "case.int"]),
    "wien-dos-crO2": ({"CrO2-sp.int": source("examples/cryslink/wien2k-dos/case.int"),
                       "CrO2-sp.dos1evup": corpus("wien2k/CrO2-sp.dos1evup"),
                       "CrO2-sp.dos1evdn": corpus("wien2k/CrO2-sp.dos1evdn")},
                      ["--Action=WIENConvDOS", "CrO2-sp.int"]),
    "vasp-h2o-md": ({f"r/{n}": source(f"examples/cryslink/vasp-h2o-md/{n}") for n in ("INCAR", "POSCAR", "CONTCAR", "OUTCAR")},
                    ["--Action=VASPMakeXSF", "r/POSCAR"]),
    "vasp-h2o-contcar": ({f"r/{n}": corpus(f"vasp/h2o_md/{n}") for n in ("POSCAR", "CONTCAR")},
                         ["--Action=VASPConvCONTCAR", "--CalcRDF=1", "r/POSCAR"]),
    "vasp-AlN": ({f"r/{n}": corpus(f"vasp/AlN_static/{n}") for n in ("POSCAR", "CONTCAR", "POTCAR")},
                 ["--Action=VASPConvCONTCAR", "r/POSCAR"]),
    "vasp-Si-relax": ({f"r/{n}": corpus(f"vasp/Si_relax/{n}") for n in ("POSCAR", "OUTCAR")},
                      ["--Action=VASPMakeXSF", "r/POSCAR"]),
    "vasp-Si-relax-contcar": ({"r/POSCAR": corpus("vasp/Si_relax/POSCAR"), "r/CONTCAR": corpus("vasp/Si_relax/POSCAR")},
                              ["--Action=VASPConvCONTCAR", "r/POSCAR"]),
    "vasp-anatase": ({"r/POSCAR": corpus("vasp/POSCAR_anatase_vasp4"), "r/CONTCAR": corpus("vasp/POSCAR_anatase_vasp4")},
                     ["--Action=VASPConvCONTCAR", "r/POSCAR"]),
    "vasp-FeS2": ({"r/POSCAR": corpus("vasp/POSCAR_FeS2_slab_selective"), "r/CONTCAR": corpus("vasp/POSCAR_FeS2_slab_selective")},
                  ["--Action=VASPConvCONTCAR", "r/POSCAR"]),
    "siesta-h2o": ({"h2o.out": corpus("siesta/h2o_relax_siesta4.0.out")}, ["--Action=TranSIESTAConvOutput", "--CalcRDF=1", "h2o.out"]),
    "siesta-MgO": ({"MgO.out": corpus("siesta/MgO_siesta4.0.out")}, ["--Action=TranSIESTAConvOutput", "MgO.out"]),
    "castep-TiO2": ({"TiO2.castep": corpus("castep/TiO2-geom.castep")}, ["--Action=CASTEPConvOutput", "--CalcRDF=1", "TiO2.castep"]),
    "castep-Si2": ({"Si2.castep": corpus("castep/Si2_opt.castep")}, ["--Action=CASTEPConvOutput", "Si2.castep"]),
    "castep-Si8": ({"Si8.castep": corpus("castep/Si8-md-NPT.castep")},
                   ["--Action=CASTEPConvOutput", "--nOutputInterval=3", "--nLastStep=10", "Si8.castep"]),
    "pwscf-NaCl": ({"NaCl.in": corpus("pwscf/NaCl-001_scf_ibrav0.in"), "NaCl.out": corpus("pwscf/NaCl-001_scf.out")},
                   ["--Action=PWScfConvOutput", "NaCl.out"]),
    "pwscf-Al": ({"Al.in": corpus("pwscf/relax2_Al_slab_ibrav6.in"), "Al.out": corpus("pwscf/relax2_Al_slab.out")},
                 ["--Action=PWScfConvOutput", "--nOutputInterval=2", "Al.out"]),
    "pwscf-TiO2": ({"TiO2.in": corpus("pwscf/TiO2_vc-relax_sg136.in"), "TiO2.out": corpus("pwscf/TiO2_vc-relax_sg136.out")},
                   ["--Action=PWScfConvOutput", "--CalcRDF=1", "TiO2.out"]),
    "pwscf-Si-md": ({"Si.out": corpus("pwscf/Si_md_v5.3.out")}, ["--Action=PWScfConvOutput", "Si.out"]),
    "gulp-MgO": ({"MgO.gin": source("examples/cryslink/MgO.gin")}, ["--Action=GULPMakeCIFFromInput", "MgO.gin"]),
    "gulp-BaSO4": ({"BaSO4.gin": corpus("gulp/example8_BaSO4_Pnma.gin")}, ["--Action=GULPMakeCIFFromInput", "BaSO4.gin"]),
    "gulp-Al2O3": ({"Al2O3.gin": corpus("gulp/example1_alumina_R-3c_sg167.gin")}, ["--Action=GULPMakeCIFFromInput", "Al2O3.gin"]),
    "gulp-pyrite": ({"FeS2.gin": corpus("gulp/pyrite_vectors_symmops.gin")}, ["--Action=GULPMakeCIFFromInput", "FeS2.gin"]),
    "wien-NaCl-example": ({"NaCl.struct": source("examples/cryslink/NaCl.struct")}, ["--Action=WIENMakeCIFFromStruct", "NaCl.struct"]),
}

for name in sorted(os.listdir(os.path.join(CORPUS, "wien2k")) if os.path.isdir(os.path.join(CORPUS, "wien2k")) else []):
    if name.endswith(".struct"):
        RUNS["wien-" + name[:-7]] = ({name: corpus("wien2k/" + name)}, ["--Action=WIENMakeCIFFromStruct", name])

cifs = [source("examples/cryslink/rutile.cif")]
if os.path.isdir(os.path.join(CORPUS, "cif")):
    cifs += [corpus("cif/" + n) for n in sorted(os.listdir(os.path.join(CORPUS, "cif"))) if n.endswith(".cif")]
for path in cifs:
    stem = os.path.basename(path)[:-4]
    RUNS["cif-show-" + stem] = ({"s.cif": path}, ["--Action=ShowCIFInf", "--ShowAsymmetricUnit=1", "--ShowAllAtoms=1", "s.cif"])
    RUNS["cif-rdf-" + stem] = ({"s.cif": path}, ["--Action=CalRDF", "--CalcRDF=1", "--CoordinationNumber=4", "s.cif"])
    RUNS["cif-distance-" + stem] = ({"s.cif": path}, ["--Action=CalDistance", "--MaximumDistance=3", "s.cif", "d.txt"])

DATE_LINES = re.compile(rb"^(_audit_creation_date +|!DATE ).*$", re.M)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    exe, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    extra = sys.argv[3:]  # further options given to every run, such as --TrajectoryFormat=extxyz
    os.makedirs(out, exist_ok=True)
    ran = 0
    for name, (files, args) in sorted(RUNS.items()):
        if not all(os.path.exists(f) for f in files.values()):
            continue
        work = os.path.join(out, name)
        shutil.rmtree(work, ignore_errors=True)
        for target, origin in files.items():
            os.makedirs(os.path.dirname(os.path.join(work, target)), exist_ok=True)
            shutil.copyfile(origin, os.path.join(work, target))
        run = subprocess.run([exe] + args + extra, cwd=work, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        with open(os.path.join(work, "stdout.txt"), "wb") as f:
            f.write(run.stdout.replace(exe.encode(), b"Cryslink").replace(os.path.dirname(exe).encode(), b"<bin>"))
            f.write(b"exit status %d\n" % run.returncode)
        for root, _, names in os.walk(work):
            for n in names:
                if n.endswith((".cif", ".car.new", ".car")):
                    p = os.path.join(root, n)
                    with open(p, "rb") as f:
                        text = f.read()
                    with open(p, "wb") as f:
                        f.write(DATE_LINES.sub(rb"\1<date>", text))
        ran += 1
    print(f"{ran} runs in {out}")


if __name__ == "__main__":
    main()
