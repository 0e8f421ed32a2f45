#!/usr/bin/env bash
# Runs each outside program the tests rely on over a tiny known input and stops at the first
# one that cannot do its job, naming the Debian package that is missing. Being installed is
# not enough: wmf2svg without fonts-urw-base35 starts and then fails on any text.
set -uo pipefail

known=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/preflight" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "preflight: $1" >&2
  exit 1
}

# check NAME PROGRAM-PACKAGE WORKING-PACKAGE EXPECTED COMMAND...: COMMAND must succeed and
# print EXPECTED. WORKING-PACKAGE is what the program needs besides itself to do that.
check() {
  local name=$1 package=$2 needs=$3 expected=$4
  shift 4
  command -v "$name" >/dev/null || fail "$name is missing (install the Debian package $package)"
  local output
  if ! output=$("$@" 2>"$work/err") || ! grep -qF "$expected" <<<"$output"; then
    local reason
    reason=$(grep -m 1 . "$work/err")
    fail "$name cannot read a known file${reason:+ ($reason)}: install the Debian package $needs"
  fi
}

check wmf2svg libwmf-bin "fonts-urw-base35" ">Tesral</text>" wmf2svg "$known/text.wmf"
check pdftotext poppler-utils poppler-utils "Tesral" pdftotext "$known/text.pdf" -
check python3 python3 python3 "Tesral" python3 -c "import math, subprocess, sys; print('Tesral')"
exit 0
