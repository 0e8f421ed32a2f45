#!/bin/sh
# tesral-cli refine on every shipped model: a pattern made from the model with a zero shift
# and a background refines from a start 0.2 % off in a back to the made a; the refined model
# loads with --model; FIT.json holds the figures of merit and a; a refinement that cannot
# start ends with status 1 and one line.
# usage: refine_models.sh TESRAL_CLI MODELS_DIR
cli=$1
models=$2
fail() { echo "FAIL: $*"; exit 1; }
for model in "$models"/*.toml; do
    name=$(basename "$model" .toml)
    case $name in
        icosahedral-alcufe)
            run="--system icosahedral --group Fm-3-5 --a 8.9378 --qimax 2"
            start="--system icosahedral --group Fm-3-5 --a 8.9557 --qimax 2" ;;
        icosahedral-alpdmn)
            run="--system icosahedral --group Fm-3-5 --a 9.1217 --qimax 2"
            start="--system icosahedral --group Fm-3-5 --a 9.1399 --qimax 2" ;;
        decagonal-alcuco)
            run="--system decagonal --group P10.5/mmc --convention steurer --a 3.7651 --c 4.1481 --qimax 2"
            start="--system decagonal --group P10.5/mmc --convention steurer --a 3.7726 --c 4.1481 --qimax 2" ;;
        icosahedral*) run="--system icosahedral --a 4.56084 --qimax 1.5"
                      start="--system icosahedral --a 4.5700 --qimax 1.5" ;;
        decagonal*)   run="--system decagonal --a 2.45 --c 4.1 --qimax 1.2"
                      start="--system decagonal --a 2.4549 --c 4.1 --qimax 1.2" ;;
        octagonal*)   run="--system octagonal --a 2.5 --c 2.9 --qimax 1.2"
                      start="--system octagonal --a 2.505 --c 2.9 --qimax 1.2" ;;
        *) continue ;;
    esac
    if grep -q '^domain = "window"' "$model"; then site=window_scale; else site=radius; fi
    # Sites of different radii each refine their own: the first labelled site's.
    label=$(sed -n 's/^label = "\(.*\)".*/\1/p' "$model" | head -n 1)
    if [ -n "$label" ] && [ $site = radius ]; then site=$label.radius; fi
    # shellcheck disable=SC2086
    "$cli" powder $run --wavelength 1.5406 --model "$model" --two-theta 20:80:0.02 \
        --caglioti 0,0,0.012 --eta 0.4 --zero 0.02 --output "$name.xy" 2>/dev/null ||
        fail "$name: powder"
    awk '{ printf "%s %.4f\n", $1, 500 * $2 + 200 + $1 }' "$name.xy" > "$name-measured.xy"
    # shellcheck disable=SC2086
    "$cli" refine $start --wavelength 1.5406 --model "$model" --measured "$name-measured.xy" \
        --vary scale,zero,a,background,w,eta,$site --output "$name-refined.toml" \
        --json "$name-fit.json" > "$name-table.txt" || fail "$name: refine"
    grep -q '^R_p = .*chi2 = ' "$name-table.txt" || fail "$name: no figures of merit"
    grep -q '"r_wp": ' "$name-fit.json" || fail "$name: no r_wp in FIT.json"
    a=$(sed -n 's/.*"a": {"value": \([0-9.]*\).*/\1/p' "$name-fit.json")
    want=$(echo "$run" | sed 's/.*--a \([0-9.]*\).*/\1/')
    awk -v a="$a" -v w="$want" 'BEGIN { d = a - w; exit !(d < 2e-4 * w && d > -2e-4 * w) }' ||
        fail "$name: a = $a, made with $want"
    # shellcheck disable=SC2086
    "$cli" powder $run --model "$name-refined.toml" --two-theta 20:80:0.02 --output "$name-again.xy" 2>/dev/null ||
        fail "$name: the refined model does not load"
done
# An intensity list: R1, wR2 and the goodness of fit, one entry per reflection.
"$cli" refine --system icosahedral --a 4.56084 --qimax 1.5 --thmax 40 --wavelength 1.5406 \
    --model "$models/icosahedral-sphere.toml" --measured "$models/../examples/i-sphere-synthetic.hkl" \
    --vary scale,radius,b_par --output list.toml --json list.json > list.txt || fail "list"
grep -q '^R1 = .* wR2 = .* GooF = ' list.txt || fail "list: no R1, wR2, GooF"
grep -q '"goof": ' list.json && test "$(grep -c '"indices": \[' list.json)" -gt 1000 ||
    fail "list: FIT.json without goof or the reflections"
"$cli" refine --model "$models/icosahedral-sphere.toml" --system icosahedral \
    --measured icosahedral-sphere-measured.xy --vary scale,Pd9.radius --output x.toml 2>err.txt
test $? = 1 || fail "an unknown site refines"
test "$(wc -l < err.txt)" = 1 && grep -q "no site labelled 'Pd9'" err.txt || fail "$(cat err.txt)"
printf '30 10\n40 20\n' > two.txt
"$cli" refine --model "$models/icosahedral-sphere.toml" --system icosahedral --peaks \
    --measured two.txt --vary scale,b_par,radius --output x.toml 2>err.txt
test $? = 1 && grep -q '2 observations for 3 parameters' err.txt || fail "$(cat err.txt)"
exit 0
