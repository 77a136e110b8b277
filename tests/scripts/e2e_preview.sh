#!/usr/bin/env bash
# End to end under a real window manager (openbox): the window is left at a
# small size, then five fresh starts each open Print Preview at once. The
# preview maximises the window; its page must be laid out at the maximised
# size every time, never at the size the window had before. The page's size
# is read from the screen itself (the preview page is the one large white
# area on it).
#   e2e_preview.sh <build folder>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export KESTRANE_BUILD=$1
KESTRANE_WORK=$(mktemp -d)
export KESTRANE_WORK
export DESKTOP_FBDIR="$KESTRANE_WORK/screen"
mkdir -p "$DESKTOP_FBDIR"
# shellcheck source=../../scripts/lib-desktop.sh
. "$here/../../scripts/lib-desktop.sh"
trap desktop_cleanup EXIT

desktop_start_x
desktop_start_openbox "$KESTRANE_WORK/openbox.log" || fail "openbox did not start"
desktop_demo_settings
desktop_set PRINTFORMAT 0

# One sign in the list, and a small window, both kept for the next starts.
desktop_start_kestrane
desktop_type 100001
desktop_keys Return Return Return Return Return
xdotool windowsize --sync "$DESKTOP_WIN" 640 480 2>/dev/null || xdotool windowsize "$DESKTOP_WIN" 640 480
xdotool windowmove --sync "$DESKTOP_WIN" 40 40 2>/dev/null || xdotool windowmove "$DESKTOP_WIN" 40 40
sleep 1
desktop_exit_kestrane

read -r screen_w screen_h < <(xdotool getdisplaygeometry)
for start in ${KESTRANE_E2E_STARTS:-1 2 3 4 5}; do
  desktop_start_kestrane
  desktop_keys ctrl+shift+p
  dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Print Preview$' | head -n 1) || fail "start $start: no print range question"
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  desktop_keys Return
  timeout 20 xdotool search --sync --onlyvisible --name '^Kestrane - Previewing page 1 of 1$' >/dev/null \
    || fail "start $start: no preview"
  sleep 1
  [ -z "${KESTRANE_E2E_KEEP:-}" ] || cp "$DESKTOP_FBDIR/Xvfb_screen0" "$KESTRANE_WORK/preview$start.xwd"
  read -r page_w page_h < <(python3 "$here/xwd_white.py" "$DESKTOP_FBDIR/Xvfb_screen0")
  echo "start $start: preview page ${page_w}x${page_h} on a ${screen_w}x${screen_h} screen"
  # Maximised, the page takes more than half the screen's width (the paging
  # question has the rest) and most of its height; at the small window's
  # size it could take neither.
  if [ "$page_w" -le $((screen_w / 2)) ] || [ "$page_h" -le $((screen_h * 3 / 4)) ]; then
    fail "start $start: the preview page is ${page_w}x${page_h}, not laid out at the maximised size"
  fi
  question=$(timeout 10 xdotool search --sync --onlyvisible --name '^Print Preview$' | head -n 1) || fail "start $start: no paging question"
  xdotool windowfocus --sync "$question" 2>/dev/null || true
  desktop_keys Escape
  timeout 10 xdotool search --sync --onlyvisible --name '^Kestrane$' >/dev/null || fail "start $start: the preview did not end"
  desktop_exit_kestrane
done
echo "e2e ok: five fresh starts, each first preview laid out at the maximised size"
