#!/usr/bin/env python3
"""Tesral from Python, notebook style: a run, its arrays, a plot and a powder pattern.

From the source folder after building:
    PYTHONPATH=build/python python3 doc/examples/python_example.py
It writes python-run.hkl and, with matplotlib, python-example.png into the current folder.
"""

import os

import numpy as np

import tesral

HERE = os.path.dirname(os.path.abspath(__file__))
MODEL = os.path.join(HERE, "..", "models", "icosahedral-sphere.toml")

# %% A run: the icosahedral P235 lattice with a = 4.57 A, seen with the one-sphere model.
model = tesral.Model.load(MODEL)
r = tesral.run(system="icosahedral", group="P235", a=4.57, limits=3, theta=(5, 40),
               qi_max=1.0, model=model)
print("\n".join(r.header[:3]))
print(f"{len(r)} reflections; the strongest ten:")
strongest = np.argsort(r.intensity)[::-1][:10]
for i in strongest:
    print(" ".join(f"{h:3d}" for h in r.indices[i]),
          f"theta {r.theta[i]:8.4f}  d {r.d[i]:7.4f}  I {r.intensity[i]:7.2f}")

# The arrays are views into the run's table: filter with numpy, write with Tesral's writers.
weak_qi = r.hperp < 0.2
print(f"{weak_qi.sum()} reflections with |H-perp| below 0.2 1/A")
r.write_report("python-run.hkl", columns=["indices", "theta", "d", "intensity"])

# %% The sites are Python objects: a smaller sphere changes the intensities.
model.sites[0].radius *= 0.9
smaller = tesral.run(system="icosahedral", group="P235", a=4.57, limits=3, theta=(5, 40),
                     model=model)
print(f"radius {model.sites[0].radius:.3f} A: mean intensity {r.intensity.mean():.3f} "
      f"before, {smaller.intensity.mean():.3f} now")

# %% A powder pattern with Cu K-alpha.
pattern = tesral.powder(system="icosahedral", a=4.57, anode="Cu", model=MODEL,
                        two_theta=(20, 80, 0.02), caglioti=(0, 0, 0.01))
top = np.argsort(pattern.intensity)[::-1][:5]
print(f"{len(pattern)} powder lines from {pattern.reflections} reflections; the strongest:")
for i in sorted(top, key=lambda i: pattern.two_theta[i]):
    print(f"  2-theta {pattern.two_theta[i]:8.3f}  d {pattern.d[i]:7.4f}  "
          f"multiplicity {pattern.multiplicity[i]:3d}  I {pattern.intensity[i]:6.1f}")

# %% A plot, when matplotlib is there.
try:
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
except ImportError:
    print("matplotlib is not installed: no plot")
else:
    figure, (left, right) = plt.subplots(1, 2, figsize=(11, 4.5))
    zero = r.indices[:, 5] == 0
    left.scatter(r.xyz[zero, 0], r.xyz[zero, 1], s=r.intensity[zero] / 2, c="k")
    left.set_aspect("equal")
    left.set_title("x-y of the rows with h6 = 0 (area ~ I)")
    right.plot(pattern.grid, pattern.profile, lw=0.8)
    right.set_xlabel("2-theta (degrees)")
    right.set_title("powder pattern, Cu K-alpha")
    figure.tight_layout()
    figure.savefig("python-example.png", dpi=100)
    print("wrote python-example.png")
