#!/usr/bin/env bash
# End to end under a real window manager (openbox): three signs typed and
# looked up, the middle one deleted, Save Row; the list on disk must hold the
# first and the third. Exit, start again: the list is restored. Read Data
# File then Ctrl+S, Enter, Enter keeps the file read; a clicked row, Delete
# and five Enters keep the row. Then five starts: the window must reopen at
# the same size and place every time. Then data files named on the command
# line, and a second start while the window runs.
#   e2e_worklist.sh <build folder>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export KESTRANE_BUILD=$1
KESTRANE_WORK=$(mktemp -d)
export KESTRANE_WORK
# shellcheck source=../../scripts/lib-desktop.sh
. "$here/../../scripts/lib-desktop.sh"
trap desktop_cleanup EXIT

desktop_start_x
desktop_start_openbox "$KESTRANE_WORK/openbox.log" || fail "openbox did not start"
desktop_demo_settings
worklist="$XDG_DATA_HOME/kestrane/worklist.txt"

# The SKUs of the list on disk, one a line.
listed() { tail -n +2 "$worklist" | cut -f1; }

desktop_start_kestrane
for sku in 100001 100012 900002; do
  desktop_type "$sku"
  desktop_keys Return                          # look up, on to the promotional price
  desktop_keys Return Return Return Return     # bullet 1, 2, 3, save the row
done
desktop_keys Up Up                             # back to row 2
desktop_menu e 3                               # Edit > Delete Row
desktop_menu e 0                               # Edit > Save Row
sleep 2
[ "$(listed | tr '\n' ' ')" = "100001 900002 " ] || fail "after delete and save the list holds: $(listed | tr '\n' ' ')"
grep -q "CLAW" "$worklist" || fail "the looked-up description was not kept"
desktop_exit_kestrane

# The next session starts with that list, and keeps it through its own exit.
before=$(cat "$worklist")
desktop_start_kestrane
desktop_exit_kestrane
[ "$(cat "$worklist")" = "$before" ] || fail "the list did not survive a restart: $(listed | tr '\n' ' ')"

# A clerk's habits lose nothing. Click the first row, Delete (it erases the SKU box's text),
# Enter five times: the blank SKU is not looked up and not saved over the row, which keeps its
# SKU and all it held.
first_line=$(tail -n +2 "$worklist" | head -n 1)
desktop_start_kestrane
xdotool mousemove --window "$DESKTOP_WIN" 230 243 click 1   # the first row of the grid
sleep 0.5
desktop_keys Delete Return Return Return Return Return
sleep 2
[ "$(tail -n +2 "$worklist" | head -n 1)" = "$first_line" ] \
  || fail "click a row, Delete, Enter five times changed the row: $(tail -n +2 "$worklist" | head -n 1)"
desktop_keys ctrl+Delete                       # the panel's row goes, the focus in a text box
sleep 2
[ "$(listed | tr '\n' ' ')" = "900002 " ] || fail "Ctrl+Delete in the SKU box left: $(listed | tr '\n' ' ')"
desktop_exit_kestrane

# Read Data File, then Ctrl+S, Enter, Enter: the save dialog
# offers the file just read and the replace question answers No to Enter alone.
data_file="$DESKTOP_DATA/items.txt"
data_sum=$(sha256sum < "$data_file")
desktop_start_kestrane
desktop_keys ctrl+o
sleep 1.5
desktop_keys Return                            # the dialog offers items.txt
sleep 2
desktop_keys ctrl+s
sleep 1.5
desktop_keys Return                            # the same file, then the question
sleep 1
desktop_keys Return
sleep 1
[ "$(sha256sum < "$data_file")" = "$data_sum" ] || fail "Ctrl+S, Enter, Enter replaced the data file just read"
[ -z "$(xdotool search --onlyvisible --name '^Export File$' 2>/dev/null)" ] || fail "a dialog of Save To Data File is still open"
desktop_exit_kestrane

# Placement: move and size the window once, then five starts in a row.
desktop_start_kestrane
xdotool windowsize --sync "$DESKTOP_WIN" 700 520 2>/dev/null || xdotool windowsize "$DESKTOP_WIN" 700 520
xdotool windowmove --sync "$DESKTOP_WIN" 150 120 2>/dev/null || xdotool windowmove "$DESKTOP_WIN" 150 120
sleep 1
desktop_exit_kestrane
first=""
for start in 1 2 3 4 5; do
  desktop_start_kestrane
  sleep 2.5                                    # the placement settles within two seconds
  geometry=$(xdotool getwindowgeometry "$DESKTOP_WIN" | tail -n +2 | tr -s ' ' | tr '\n' ' ')
  stored=$(grep '^frmSigns' "$XDG_CONFIG_HOME/QORPOS.conf" | sort | tr '\n' ' ')
  echo "start $start: $geometry| $stored"
  [ -n "$first" ] || first="$geometry"
  [ "$geometry" = "$first" ] || fail "start $start opened at $geometry, the first at $first"
  desktop_exit_kestrane
done
# One window per account. A start naming a data file reads it into the list;
# a second start, with the window open, ends within 5 s with status 0, leaves
# one window on screen and hands its file to the running window, which reads
# it into the same list.
before=$(listed | tr '\n' ' ')
file_skus=$(tail -n +2 "$DESKTOP_DATA/items.txt" | cut -f1 | tr -d '\r' | tr '\n' ' ')
[ -n "$file_skus" ] || fail "the demo data file holds no signs"
# Waits up to 10 s for the list on disk to hold the given SKUs.
wait_listed() {
  for _ in $(seq 1 50); do [ "$(listed | tr '\n' ' ')" = "$1" ] && return 0; sleep 0.2; done
  fail "the list holds $(listed | tr '\n' ' '), expected $1"
}
desktop_start_kestrane "$DESKTOP_DATA/items.txt"
wait_listed "$before$file_skus"
first_pid=$DESKTOP_APP_PID
started=$(date +%s%N)
set +e
timeout 10 "$KESTRANE_BUILD/kestrane" "$DESKTOP_DATA/items.dat" >"$KESTRANE_WORK/second.log" 2>&1
rc=$?
set -e
took=$(( ($(date +%s%N) - started) / 1000000 ))
[ "$rc" -eq 0 ] || { cat "$KESTRANE_WORK/second.log"; fail "the second start ended with status $rc"; }
[ "$took" -lt 5000 ] || fail "the second start took $took ms"
windows=$(xdotool search --onlyvisible --name '^Kestrane$' | wc -l)
[ "$windows" -eq 1 ] || fail "$windows windows on screen after the second start"
kill -0 "$first_pid" 2>/dev/null || fail "the running window ended"
wait_listed "$before$file_skus$file_skus"
desktop_exit_kestrane
echo "e2e ok: rows kept through delete, save and restart, a clicked row through Delete and five Enters, the data file read through Ctrl+S, Enter, Enter; five starts at $first; second start handed over in $took ms"
