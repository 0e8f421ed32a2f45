#!/usr/bin/env bash
# Makes the pictures of the user manual, doc/pictures/*.png, from the programs themselves:
# the plots with tesral-cli plot2d / plot3d, the window with tesral_grab_window (drawn off
# screen, no display needed). Run from anywhere:
#
#   bash doc/make_pictures.sh            # builds what it needs in build/ first
#   BUILD_DIR=/path/to/build bash doc/make_pictures.sh
#
# optipng, when installed, makes the files smaller; the pictures are the same without it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$root/doc/pictures
cli=$build/bin/tesral-cli
grab=$build/bin/tesral_grab_window

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESRAL_BENCH=OFF
fi
cmake --build "$build" -j2 --target tesral-cli tesral_grab_window
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen

size=500x500
plot() {  # plot 2d|3d NAME options...
  local kind=$1 name=$2
  shift 2
  "$cli" "plot$kind" --size "$size" --output "$out/$name.png" "$@"
  echo "  $name.png"
}

echo "The four systems, zero layer and 3D (default group, Yamamoto, Mo):"
octagonal=(--system octagonal --limits 3,3,3,3,2)
decagonal=(--system decagonal --group P10/mmm --limits 3,3,3,3,2)
dodecagonal=(--system dodecagonal --limits 4,4,4,4,2 --thmax 15)
icosahedral=(--system icosahedral --a 5.1 --limits 2,2,2,2,2,2)
turned=(--rotate 3:35 --rotate 2:25)
plot 2d octagonal-2d "${octagonal[@]}"
plot 3d octagonal-3d "${octagonal[@]}" "${turned[@]}"
plot 2d decagonal-2d "${decagonal[@]}"
plot 3d decagonal-3d "${decagonal[@]}" "${turned[@]}"
plot 2d dodecagonal-2d "${dodecagonal[@]}"
plot 3d dodecagonal-3d "${dodecagonal[@]}" "${turned[@]}"
plot 2d icosahedral-2d "${icosahedral[@]}"
# Tilted by 90 degrees the view looks down z, the fivefold axis of the basis.
plot 3d icosahedral-3d "${icosahedral[@]}" --rotate 2:90

echo "The index box: a box too small for the theta window, and one large enough:"
plot 2d box-small --system dodecagonal --limits 3,3,3,3,0
plot 2d box-large --system dodecagonal --limits 5,5,5,5,0

echo "View options:"
plot 3d view-start --system decagonal --group P10/mmm --limits 3,3,3,3,2
plot 2d view-directions --system decagonal --group P10/mmm --limits 3,3,3,3,0 \
  --highlight-directions --highlight-main --no-size-by-qi
plot 2d view-theta --system decagonal --group P10/mmm --limits 3,3,3,3,0 \
  --background white --colour theta --no-size-by-qi
plot 2d view-indices --system decagonal --group P10/mmm --limits 2,2,2,2,0 \
  --indices --zoom 2.197 --spots 15 --background white --unfilled

echo "Intensities: spot area by the intensity of a structure model:"
plot 2d intensity-decagonal --system decagonal --group P10/mmm --limits 5,5,5,5,0 --thmax 40 \
  --qimax 3 --model "$root/doc/models/decagonal-penrose.toml" --spot-size intensity \
  --background white
plot 2d intensity-icosahedral --system icosahedral --a 4.56084 --limits 3,3,3,3,3,0 \
  --thmax 40 --qimax 3 --model "$root/doc/models/icosahedral-window.toml" \
  --spot-size intensity --background white

echo "The powder pattern of i-AlCuFe (Cu K-alpha1, a6D = 6.32 A), and the shipped synthetic"
echo "measured pattern under the pattern of the refined constant:"
alcufe=(--system icosahedral --group-index 0 --wavelength 1.5406 --size 900x450)
"$cli" powder "${alcufe[@]}" --a 4.46891 --output "$out/powder-icosahedral.png" 2>/dev/null
echo "  powder-icosahedral.png"
"$cli" powder "${alcufe[@]}" --a 4.46882 --zero 0.0496 --two-theta 15:100:0.01 --difference \
  --measured "$root/doc/examples/i-alcufe-synthetic.xy" --output "$out/powder-refined.png" 2>/dev/null
echo "  powder-refined.png"

echo "The powder patterns of the shipped literature models (Cu K-alpha1):"
literature() {  # literature NAME MODEL run options...
  local name=$1 model=$2
  shift 2
  "$cli" powder "$@" --wavelength 1.5406 --two-theta 15:100:0.01 --qimax 2 --size 900x450 \
    --model "$root/doc/models/$model" --output "$out/$name.png" 2>/dev/null
  echo "  $name.png"
}
literature powder-alcufe icosahedral-alcufe.toml --system icosahedral --group Fm-3-5 --a 8.9378
literature powder-alpdmn icosahedral-alpdmn.toml --system icosahedral --group Fm-3-5 --a 9.1217
literature powder-alcuco decagonal-alcuco.toml --system decagonal --group P10.5/mmc \
  --convention steurer --a 3.7651 --c 4.1481

echo "The 1/1 approximant of the 3D Penrose tiling against the quasicrystal (Cu K-alpha1):"
"$cli" powder --system icosahedral --a 4.56084 --anode Cu --two-theta 15:100:0.01 \
  --model "$root/doc/models/icosahedral-window.toml" --approximant 1/1 --compare-quasicrystal \
  --size 900x450 --output "$out/powder-approximant.png" 2>/dev/null
echo "  powder-approximant.png"

echo "Structures: a layer of the Penrose tiling with its edges:"
"$cli" structure --system decagonal --a 2.45 --c 6 --model "$root/doc/models/decagonal-penrose.toml" \
  --radius 20 --edges --size 600x600 --output "$out/structure-penrose-layer.png" 2>/dev/null
echo "  structure-penrose-layer.png"

echo "Refinement: the shipped synthetic pattern fitted with the one-sphere model:"
"$cli" refine --system icosahedral --a 4.57 --qimax 1.5 --wavelength 1.5406 \
  --model "$root/doc/models/icosahedral-sphere.toml" \
  --measured "$root/doc/examples/i-sphere-synthetic.xy" \
  --vary scale,zero,a,background,w,eta,radius,b_par --output "$build/refined.toml" \
  --plot "$out/refine-pattern.png" --size 900x450 >/dev/null
echo "  refine-pattern.png"

echo "Zone axes: electron-diffraction sections (200 kV), spot area by intensity:"
zone() {  # zone NAME options...
  local name=$1
  shift
  "$cli" zone --size "$size" --background white --output "$out/$name.png" "$@"
  echo "  $name.png"
}
electrons=(--thmin 0 --thmax 1.2 --wavelength 0.025079 --threshold 0.5)
ico_zone=(--system icosahedral --a 4.56084 --limits 12,12,12,12,12,12 --qimax 1.5
  --domain window --radiation electron:200 "${electrons[@]}")
zone zone-icosahedral-5 "${ico_zone[@]}" --axis fivefold
zone zone-icosahedral-3 "${ico_zone[@]}" --axis threefold --x-axis 1,-1,0,0,0,0
zone zone-icosahedral-2 "${ico_zone[@]}" --axis twofold --x-axis 1,-1,0,0,0,0
dec_zone=(--system decagonal --group P10/mmm --limits 8,8,8,8,12 --qimax 2.5
  --model "$root/doc/models/decagonal-penrose.toml" "${electrons[@]}")
zone zone-decagonal-10 "${dec_zone[@]}" --axis periodic
zone zone-decagonal-2a "${dec_zone[@]}" --axis twofold-a
zone zone-decagonal-2b "${dec_zone[@]}" --axis twofold-b

echo "A measured pattern: the example photograph (made by the tests' program) and its fit:"
cmake --build "$build" -j2 --target measured_photograph tesral-cli-plots
photo=$(mktemp --suffix=.pgm)
"$build/bin/measured_photograph" "$photo" fivefold 512
# The 8-bit PGM as a PNG (grey, no filter), which is smaller.
python3 - "$photo" "$root/doc/examples/measured-fivefold.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
magic, size, top, pixels = data.split(b"\n", 3)
w, h = map(int, size.split())
rows = b"".join(b"\0" + pixels[y * w:(y + 1) * w] for y in range(h))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
open(sys.argv[2], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 0, 0, 0, 0))
                               + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
PY
rm -f "$photo"
fit_dir=$(mktemp -d)
"$cli" zone --system icosahedral --group Pm-3-5 --a 4.56084 --limits 12,12,12,12,12,12 \
  --thmin 0 --thmax 1.2 --qimax 1.5 --domain window --radiation electron:200 --axis auto \
  --measured "$root/doc/examples/measured-fivefold.png" --fit --json "$fit_dir/fit.json" \
  --output "$out/measured-overlay.png"
rm -rf "$fit_dir"
echo "  measured-overlay.png"

echo "The window (decagonal defaults, then icosahedral):"
"$grab" "$out/window.png"
echo "  window.png"
"$grab" "$out/window-icosahedral.png" cmbSystem=Icosahedral tfA=5.1 rbSteurer=1
echo "  window-icosahedral.png"

if command -v optipng >/dev/null; then
  optipng -quiet -o2 "$out"/*.png
fi
du -ch "$out"/*.png | tail -1
