#!/usr/bin/env bash
# Runs the printing benchmark matrix: each format, 1,000 and 10,000 signs,
# text only and with pictures, to PDF; one preview page at 1920 x 1080.
#   bench/run_printing.sh [build-dir]
set -euo pipefail
bin=${1:-build}/bench/bench_printing
for format in 0 1 2; do
  "$bin" --format "$format" --signs 1000 --runs 5
  "$bin" --format "$format" --signs 1000 --runs 5 --pictures
  "$bin" --format "$format" --signs 10000 --runs 3
  "$bin" --format "$format" --signs 10000 --runs 3 --pictures
  "$bin" --format "$format" --preview --runs 21
  "$bin" --format "$format" --preview --runs 21 --pictures
done
# Pictures: 400 signs each with its own 800 x 800 photo (peak memory), and
# one 20000 x 20000 PNG on a sheet of signs (time).
"$bin" --format 0 --signs 400 --runs 3 --distinct-pictures 400
"$bin" --format 0 --signs 4 --runs 3 --huge-png 20000
