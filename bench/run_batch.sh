#!/usr/bin/env bash
# Times kestrane-batch printing a saved list of 10,000 signs to PDF in each
# format (text only), with a settings store and dictionary of its own:
# median wall time and peak memory of the whole command over the runs.
#   bench/run_batch.sh [build-dir] [runs]
set -euo pipefail
bin=$(cd "${1:-build}" && pwd)/kestrane-batch
runs=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config

printf '[INV]\r\n1,1,20:SKU\r\n10,1,40:Description\r\n48,0,10:Regular retail\r\n54,0,10:Cost\r\n56,0,10:Promotional price\r\n177,1,40:Bullet 1\r\n178,1,40:Bullet 2\r\n179,1,40:Bullet 3\r\n182,1,160:Item graphic\r\n[END]\r\n%%BEGIN%%\r\n%%END%%\r\n' >"$work/pos.dct"
awk 'BEGIN {
  printf "1\t10\t48\t54\t56\t177\t178\t179\t182\r\n"
  for (i = 1; i <= 10000; i++)
    printf "%06d\tClaw hammer %d oz\t%d.99\t9.00\t%d.49\tForged steel head\tFiberglass handle\tLifetime warranty\t\r\n", 100000 + i, 10 + i % 20, 10 + i % 90, 5 + i % 80
}' >"$work/list.txt"

for format in 4up 2up 1up; do
  times=() mems=() cpus=()
  for ((r = 0; r < runs; r++)); do
    /usr/bin/time -f '%e %M %U %S' -o "$work/time" \
      "$bin" --dictionary "$work/pos.dct" --format "$format" --style bullet --pdf "$work/out.pdf" "$work/list.txt"
    read -r t m u s <"$work/time"
    times+=("$t") mems+=("$m") cpus+=("$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%.2f", u + s }')")
  done
  t=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
  m=$(printf '%s\n' "${mems[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
  c=$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
  pages=$(pdfinfo "$work/out.pdf" | awk '/^Pages:/ {print $2}')
  echo "kestrane-batch 10000 signs $format: median ${t} s wall, ${c} s CPU, peak RSS $((m / 1024)) MB, $pages pages over $runs runs"
done
