#!/usr/bin/env bash
# End to end: the real program in a real X server, driven with real key
# presses, looks up three SKUs in the demo databases, saves them as rows,
# picks 2-Up, previews (Ctrl+Shift+P) and prints (Ctrl+P) through CUPS to a
# PDF printer; the printed PDF's text and positions are then checked. Where
# CUPS cannot start, the print goes through the printer dialog's PDF file
# choice instead, and the test says so. The program is then started again and
# prints with Ctrl+P to the printer (or PDF file) it remembered.
#   e2e_print.sh <build folder>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export KESTRANE_BUILD=$1
KESTRANE_WORK=$(mktemp -d)
export KESTRANE_WORK
# shellcheck source=../../scripts/lib-desktop.sh
. "$here/../../scripts/lib-desktop.sh"
trap desktop_cleanup EXIT

desktop_start_x
mode=cups
if [ -n "${KESTRANE_E2E_NO_CUPS:-}" ] || ! desktop_start_cups_pdf; then
  mode=file
  echo "CUPS could not be started here: printing through the printer dialog's PDF file choice instead."
  DESKTOP_PDF_DIR="$KESTRANE_WORK/pdf"
  mkdir -p "$DESKTOP_PDF_DIR"
fi
desktop_demo_settings
desktop_set PRINTFORMAT 0
desktop_start_kestrane

for sku in 100001 100012 900002; do
  desktop_type "$sku"
  desktop_keys Return          # look up, on to the promotional price
  desktop_keys Return Return Return Return   # bullet 1, 2, 3, save the row
done

# Format menu: 2-Up.
desktop_menu o 1

if [ "$mode" = file ]; then
  # File > Printer Setup, then choose the PDF file output in the dialog.
  desktop_menu f 4
  sleep 1
  dialog=$(timeout 10 xdotool search --sync --onlyvisible --name 'Printer Setup' | head -n 1) || fail "no printer dialog"
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  desktop_keys End             # the printer list: the PDF file entry is last
  desktop_keys Tab Tab         # past Properties to the output file
  desktop_keys ctrl+a
  desktop_type "$DESKTOP_PDF_DIR/signs.pdf"
  desktop_keys Return
  sleep 1
fi

# Ctrl+Shift+P: the preview names its page in the title bar; Escape answers
# the paging question with Cancel.
xdotool windowfocus --sync "$DESKTOP_WIN" 2>/dev/null || true
desktop_keys ctrl+shift+p
# The range question first, answered as it stands.
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Print Preview$' | head -n 1) || fail "no print range question before the preview"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
desktop_keys Return
timeout 20 xdotool search --sync --onlyvisible --name '^Kestrane - Previewing page 1 of 2$' >/dev/null \
  || fail "Ctrl+Shift+P showed no preview of page 1 of 2"
question=$(timeout 10 xdotool search --sync --onlyvisible --name '^Print Preview$' | head -n 1) || fail "no paging question"
xdotool windowfocus --sync "$question" 2>/dev/null || true
desktop_keys Escape
timeout 10 xdotool search --sync --onlyvisible --name '^Kestrane$' >/dev/null || fail "the preview did not end"

marker="$KESTRANE_WORK/marker"
touch "$marker"
sleep 1
xdotool windowfocus --sync "$DESKTOP_WIN" 2>/dev/null || true
desktop_keys ctrl+p             # File > Print Signs
# The print range question: all pages of the whole list from the first cell.
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Print Signs$' | head -n 1) || fail "no print range question"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
desktop_keys Return
pdf=$(desktop_wait_pdf "$marker" 60) || fail "no PDF was printed"
echo "printed: $pdf ($mode)"

# Three signs in 2-Up: two portrait pages.
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
[ "$pages" = 2 ] || fail "expected 2 pages, got $pages"
size=$(pdfinfo "$pdf" | awk '/^Page size:/ {print $3, $5}')
read -r pw ph <<<"$size"
awk -v w="$pw" -v h="$ph" 'BEGIN { exit !(h > w) }' || fail "2-Up pages are not portrait ($size)"

bbox="$KESTRANE_WORK/bbox.html"
pdftotext -bbox "$pdf" "$bbox"
text=$(pdftotext -layout "$pdf" -)
for want in "CLAW" "WIRE" "SPECIAL ORDER" "Forged steel head" "regular retail \$14.99" "100001" "100012" "900002"; do
  grep -q "$want" <<<"$text" || fail "printed text lacks \"$want\""
done

# Where each SKU lands: page and vertical half of the page.
where() {
  awk -v sku="$1" -v ph="$ph" '
    /<page / { page++ }
    index($0, ">" sku "<") {
      match($0, /yMin="[0-9.]+"/); y = substr($0, RSTART + 6, RLENGTH - 7)
      print page, (y < ph / 2 ? "top" : "bottom"); exit }' "$bbox"
}
[ "$(where 100001)" = "1 top" ] || fail "100001 should be on page 1, top half: $(where 100001)"
[ "$(where 100012)" = "1 bottom" ] || fail "100012 should be on page 1, bottom half: $(where 100012)"
[ "$(where 900002)" = "2 top" ] || fail "900002 should be on page 2, top half: $(where 900002)"

# The under-a-dollar price prints as cents.
grep -q "69" <<<"$text" || fail "the wire nuts price is missing"

# Exit, start again: Ctrl+P prints to the same printer or PDF file without
# asking for it.
xdotool windowfocus --sync "$DESKTOP_WIN" 2>/dev/null || true
desktop_keys alt+x
for _ in $(seq 1 50); do kill -0 "$DESKTOP_APP_PID" 2>/dev/null || break; sleep 0.2; done
kill -0 "$DESKTOP_APP_PID" 2>/dev/null && fail "Exit did not end the program"
desktop_start_kestrane
desktop_keys ctrl+a             # the SKU box may show a row of a remembered list
desktop_type 100003
desktop_keys Return Return Return Return Return
touch "$marker"
sleep 1
desktop_keys ctrl+p
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Print Signs$' | head -n 1) || fail "no print range question after the restart"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
desktop_keys Return
again=$(desktop_wait_pdf "$marker" 60) || fail "no PDF was printed after the restart"
pdftotext "$again" - | grep -q 100003 || fail "the print after the restart lacks 100003"
[ "$mode" = cups ] || [ "$again" = "$pdf" ] || fail "the restarted program printed to $again, not $pdf"
echo "e2e ok: looked up, saved, previewed and printed 2-Up through $mode with shortcuts, and again after a restart"
