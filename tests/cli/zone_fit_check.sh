#!/bin/sh
# zone --measured --fit on a made photograph: the JSON holds the placement it was made with,
# the intensity list is the refinement's format with its kinematic head, the overlay is a PNG.
# usage: zone_fit_check.sh TESRAL_CLI MEASURED_PHOTOGRAPH
set -e
cli=$1
"$2" fit_twofold.pgm twofold
"$cli" zone --system icosahedral --group Pm-3-5 --a 4.56084 --limits 12,12,12,12,12,12 \
    --thmin 0 --thmax 1.2 --qimax 1.5 --domain window --radiation electron:200 \
    --axis auto --measured fit_twofold.pgm --fit --pixel-size 0.015 --json fit.json \
    --intensities fit_spots.hkl --output fit_overlay.png
command -v python3 >/dev/null || exit 0
python3 - <<'PY'
import json, math, re, sys
f = json.load(open("fit.json"))
def near(name, got, want, tol):
    if abs(got - want) > tol:
        sys.exit("%s: %g, not %g within %g" % (name, got, want, tol))
assert f["axis"] == "twofold", f["axis"]
near("centre x", f["centre_px"][0], 517.3, 1.0)
near("centre y", f["centre_px"][1], 498.6, 1.0)
near("rotation", (f["rotation_deg"] - 23.4 + 90) % 180 - 90, 0.0, 0.5)
near("scale", f["pixels_per_inverse_angstrom"] / 310.0, 1.0, 0.005)
near("camera constant", f["camera_constant_A_mm"], 0.015 * 310.0, 0.02)
assert f["matched"] == len(f["spots"]) and f["matched"] > 100, f["matched"]
assert f["rms_px"] < 3 and f["unmatched_measured"] < f["matched"] / 5
s = f["spots"][0]
assert len(s["indices"]) == 6 and s["intensity_calculated"] is not None
lines = open("fit_spots.hkl").read().splitlines()
assert any(l.startswith("#") and "inematic" in l for l in lines), "no kinematic head"
rows = [l.split() for l in lines if not l.startswith("#")]
assert len(rows) == f["matched"] and all(len(r) == 8 for r in rows)
assert all(re.fullmatch(r"-?\d+", i) for r in rows for i in r[:6])
assert open("fit_overlay.png", "rb").read(8) == b"\x89PNG\r\n\x1a\n"
PY
