#!/usr/bin/env bash
# Start-up cost of tesral-cli's text commands against a plain C++ program that writes the same
# bytes, and against the same commands in the Qt-linked picture program.
#   bash bench/cli_startup.sh [build/bin]
# Prints the median wall time of 21 runs of each, in milliseconds, and the ratios.
set -euo pipefail
bin=$(cd "${1:-build/bin}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# plain NAME ARGS...: a program that writes what `tesral-cli ARGS` writes, compiled with -O2.
plain() {
  local name=$1
  shift
  "$bin/tesral-cli" "$@" >"$work/$name.out"
  {
    echo '#include <cstdio>'
    echo 'static const unsigned char bytes[] = {'
    od -An -v -tu1 "$work/$name.out" | tr -s ' ' ',' | sed 's/^,//; s/$/,/'
    echo '};'
    echo 'int main() { return std::fwrite(bytes, 1, sizeof bytes, stdout) == sizeof bytes ? 0 : 1; }'
  } >"$work/$name.cpp"
  g++ -O2 -o "$work/$name" "$work/$name.cpp"
}

# median COMMAND...: the median of 21 wall times in milliseconds.
median() {
  python3 - "$@" <<'PY'
import subprocess, sys, time
times = []
for _ in range(21):
    start = time.perf_counter()
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
    times.append((time.perf_counter() - start) * 1000)
times.sort()
print(f"{times[10]:.2f}")
PY
}

plain help --help
plain report report
printf '%-8s %10s %14s %16s %8s %10s\n' command plain tesral-cli tesral-cli-plots ratio "Qt ratio"
for name in help report; do
  args=(--help)
  [ "$name" = report ] && args=(report)
  p=$(median "$work/$name")
  c=$(median "$bin/tesral-cli" "${args[@]}")
  q=$(median "$bin/tesral-cli-plots" "${args[@]}")
  printf '%-8s %10s %14s %16s %8.2f %10.2f\n' "$name" "$p" "$c" "$q" \
    "$(python3 -c "print($c / $p)")" "$(python3 -c "print($q / $p)")"
done
