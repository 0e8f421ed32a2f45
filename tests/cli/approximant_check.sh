#!/bin/sh
# An approximant run names its cell in the head line and every row's hkl lies on the cubic
# cell: d^2 (h^2 + k^2 + l^2) = a_c^2, for a6D = 6.32 A (a = a6D / sqrt 2).
set -e
cli="$1"
"$cli" report --system icosahedral --a 4.468915 --limits 1,1,1,1,1,1 --approximant 1/1 \
    --columns indices,hkl,d | tr -d '\r' > approximant.txt
grep -q '^approximant 1/1, cubic a = 12\.30[0-9]* A$' approximant.txt
grep -q '^#  *h1  *h2  *h3  *h4  *h5  *h6  *h  *k  *l  *d$' approximant.txt
awk 'NR > 8 { n = $8 * $8 + $9 * $9 + $10 * $10; e = $11 * $11 * n - 12.3019 ^ 2
              if (e > 0.01 || e < -0.01) bad = 1; rows++ }
     END { exit bad || rows < 100 }' approximant.txt
"$cli" matrices --system icosahedral --a 4.468915 --approximant 2/1 |
    grep -q '^approximant 2/1, cubic a = 19\.90'
# The approximant sets the strain: both together are refused on one line.
if "$cli" report --approximant 1/1 --phason-strain 0,0,0,0 2> usage.txt; then exit 1; else test $? -eq 2; fi
test "$(wc -l < usage.txt)" -eq 1
