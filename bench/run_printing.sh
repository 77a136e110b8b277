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
