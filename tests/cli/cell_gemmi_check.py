#!/usr/bin/env python3
"""One approximant cell written by tesral-cli structure, read back with gemmi.

Usage: cell_gemmi_check.py TESRAL_CLI MODELS_DIR WORK_DIR

The three-dimensional Penrose model (a6D = 6.32 A) as its 1/1 cubic cell: gemmi reads the
CIF as P 1 with the cubic constant 12.30 A; the cell's atoms, averaged over phason shifts,
have the density of a quasicrystal patch; an occupancy below 1 reads back as such; the
extended XYZ of the cell carries the same lattice.
"""
import math
import os
import random
import subprocess
import sys

import gemmi

cli, models, work = sys.argv[1:4]
model = os.path.join(models, "icosahedral-window.toml")
run = ["--system", "icosahedral", "--a", "4.46891"]


def structure(*args):
    return subprocess.run([cli, "structure", *run, *args], check=True,
                          capture_output=True, text=True).stdout


def read_cell(path):
    s = gemmi.read_small_structure(path)
    assert s.spacegroup_hm.replace(" ", "") == "P1", s.spacegroup_hm
    return s


path = os.path.join(work, "cell-1-1.cif")
structure("--model", model, "--approximant", "1/1", "--output", path)
s = read_cell(path)
for length in (s.cell.a, s.cell.b, s.cell.c):
    assert abs(length - 12.30) < 0.005, s.cell
assert (s.cell.alpha, s.cell.beta, s.cell.gamma) == (90, 90, 90), s.cell
assert len(s.sites) > 0 and all(site.type_symbol == "Al" for site in s.sites)
assert len({site.label for site in s.sites}) == len(s.sites), "labels repeat"
for site in s.sites:
    assert all(0 <= f < 1 for f in (site.fract.x, site.fract.y, site.fract.z)), site.fract
# No two atoms of the periodic structure closer than the tiling's shortest distance (the
# rhombohedra's short diagonal, 0.65 of the edge a6D/2 = 3.16 A).
positions = [s.cell.orthogonalize(site.fract) for site in s.sites]
shortest = math.inf
for i, p in enumerate(positions):
    for j, q in enumerate(positions):
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                for dz in (-1, 0, 1):
                    if i == j and dx == dy == dz == 0:
                        continue
                    d = q + gemmi.Position(dx * s.cell.a, dy * s.cell.b, dz * s.cell.c) - p
                    shortest = min(shortest, d.length())
assert shortest > 0.65 * 3.16 * 0.99, shortest

# Density: a cell's count depends on the phason shift, its mean is the quasicrystal's.
volume = s.cell.volume
counts = []
shifted = os.path.join(work, "cell-shift.cif")
random.seed(7)
for i in range(200):
    shift = ",".join("%.4f" % random.uniform(-20, 20) for _ in range(3))
    structure("--model", model, "--approximant", "1/1", "--phason-shift", shift,
              "--output", shifted)
    counts.append(len(read_cell(shifted).sites))
cell_density = sum(counts) / len(counts) / volume
radius = 80.0
patch = structure("--model", model, "--radius", str(radius))
patch_density = int(patch.split("\n", 1)[0]) / (4 / 3 * math.pi * radius ** 3)
assert abs(cell_density - patch_density) < 0.02 * patch_density, (cell_density, patch_density)

# An occupancy below 1 is written and read as such.
half_model = os.path.join(work, "half-occupied.toml")
with open(model) as f, open(half_model, "w") as g:
    g.write(f.read().replace("occupancy = 1", "occupancy = 0.5"))
half_path = os.path.join(work, "cell-occupancy.cif")
structure("--model", half_model, "--approximant", "1/1", "--output", half_path)
occupancies = {site.occ for site in read_cell(half_path).sites}
assert occupancies == {0.5}, occupancies

# The cell as extended XYZ: the same atoms, the cell's vectors as its Lattice.
xyz_path = os.path.join(work, "cell-1-1.xyz")
structure("--model", model, "--approximant", "1/1", "--output", xyz_path)
with open(xyz_path) as f:
    lines = f.read().splitlines()
assert int(lines[0]) == len(s.sites)
assert lines[1].startswith('Lattice="') and lines[1].endswith('pbc="T T T"'), lines[1]
vectors = [float(v) for v in lines[1].split('"')[1].split()]
for row in range(3):
    assert abs(math.sqrt(sum(v * v for v in vectors[3 * row:3 * row + 3])) - 12.30) < 0.005
print("cell of %d atoms, a = %.4f A, mean density %.5f (patch %.5f) 1/A^3"
      % (len(s.sites), s.cell.a, cell_density, patch_density))
