# Sourced by the end-to-end test and the screenshot script: a real X server,
# a CUPS PDF printer, a demo settings store, and the real program driven with
# real key presses.
#   KESTRANE_BUILD   the build folder (kestrane, kestrane_demo_data)
#   KESTRANE_WORK    a scratch folder of the caller's

desktop_log() { printf '[desktop] %s\n' "$*" >&2; }

# Starts Xvfb on a free display and exports DISPLAY. With DESKTOP_FBDIR set,
# the screen is also kept as an XWD file there (Xvfb_screen0) to read back.
desktop_start_x() {
  local n
  for n in $(seq 91 119); do
    if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp ${DESKTOP_FBDIR:+-fbdir "$DESKTOP_FBDIR"} >/dev/null 2>&1 &
      DESKTOP_XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.1
      done
      desktop_log "Xvfb :$n did not come up"
      return 1
    fi
  done
  desktop_log "no free X display"
  return 1
}

# Starts openbox on the display and waits until it manages the screen
# (up to 40 s: on a busy machine the window manager may take a while). An
# openbox that ends before it manages the screen is started once more; when
# it still does not come up its log is shown. Sets OPENBOX_PID; its output
# goes to the given log file.
desktop_start_openbox() {
  local attempt i
  for attempt in 1 2; do
    openbox >"$1" 2>&1 &
    OPENBOX_PID=$!
    for i in $(seq 1 400); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
      kill -0 "$OPENBOX_PID" 2>/dev/null || break
      sleep 0.1
    done
    desktop_log "openbox did not manage the screen (attempt $attempt):"
    sed 's/^/  /' "$1" >&2
    kill "$OPENBOX_PID" 2>/dev/null || true
    wait "$OPENBOX_PID" 2>/dev/null || true
  done
  desktop_log "openbox did not start"
  return 1
}

# Starts cupsd (when not running) with a CUPS-PDF queue as the default
# printer. Sets DESKTOP_PDF_DIR to where the printed files land. Fails when
# CUPS cannot be started here (not root, no cupsd, no cups-pdf).
desktop_start_cups_pdf() {
  [ "$(id -u)" -eq 0 ] || { desktop_log "not root: cannot start CUPS"; return 1; }
  [ -x /usr/sbin/cupsd ] && [ -x /usr/lib/cups/backend/cups-pdf ] || { desktop_log "CUPS or cups-pdf missing"; return 1; }
  if ! lpstat -r >/dev/null 2>&1; then
    /usr/sbin/cupsd || return 1
    # A busy machine can take several seconds to get the scheduler going.
    local i
    for i in $(seq 1 150); do lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  lpstat -r >/dev/null 2>&1 || { desktop_log "cupsd is not answering"; return 1; }
  local ppd
  ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null || true)
  lpadmin -p KestranePDF -E -v cups-pdf:/ ${ppd:+-P "$ppd"} >/dev/null 2>&1 || return 1
  # Converted to PostScript by Ghostscript, the text of a PDF ends up as
  # unreadable Type 3 glyphs; poppler's cairo renderer keeps it searchable.
  lpadmin -p KestranePDF -o pdftops-renderer-default=pdftocairo >/dev/null 2>&1 || true
  lpoptions -d KestranePDF >/dev/null 2>&1 || return 1
  DESKTOP_PDF_DIR="${HOME:-/root}/PDF"
  mkdir -p "$DESKTOP_PDF_DIR"
  export DESKTOP_PDF_DIR
}

# Makes the demo data and a settings store preset to it, under KESTRANE_WORK.
desktop_demo_settings() {
  export XDG_CONFIG_HOME="$KESTRANE_WORK/config"
  # The working list of these sessions, away from the user's own.
  export XDG_DATA_HOME="$KESTRANE_WORK/share"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  DESKTOP_DATA="$KESTRANE_WORK/data"
  QT_QPA_PLATFORM=offscreen "$KESTRANE_BUILD/kestrane_demo_data" "$DESKTOP_DATA" --preset-settings >/dev/null
  sqlite3 "$DESKTOP_DATA/inventory.db" < "$DESKTOP_DATA/inventory.sql"
  sqlite3 "$DESKTOP_DATA/cis.db" < "$DESKTOP_DATA/cis.sql"
  export DESKTOP_DATA
}

# Sets one demo setting (QSettings ini form of the native store).
desktop_set() {
  local key=$1 value=$2 conf="$XDG_CONFIG_HOME/QORPOS.conf"
  if grep -q "^$key=" "$conf"; then
    sed -i "s|^$key=.*|$key=$value|" "$conf"
  else
    sed -i "/^\[KESTRANE\]/a $key=$value" "$conf"
  fi
}

# Starts the real program (with the given arguments) and waits for its main
# window.
desktop_start_kestrane() {
  unset QT_QPA_PLATFORM
  "$KESTRANE_BUILD/kestrane" "$@" >"$KESTRANE_WORK/kestrane.log" 2>&1 &
  DESKTOP_APP_PID=$!
  DESKTOP_WIN=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kestrane$' | head -n 1)
  [ -n "$DESKTOP_WIN" ] || { desktop_log "the main window did not appear"; return 1; }
  xdotool windowfocus --sync "$DESKTOP_WIN" 2>/dev/null || true
  sleep 0.5
}

# Key presses into the focused window: desktop_keys Return Tab ...
desktop_keys() { xdotool key --delay 60 "$@"; sleep 0.2; }
desktop_type() { xdotool type --delay 40 "$1"; sleep 0.2; }

# Opens a menu by its mnemonic and chooses the entry n places down.
desktop_menu() {
  local mnemonic=$1 downs=$2
  # Without a window manager nobody hands the focus back after a dialog.
  xdotool windowfocus --sync "$DESKTOP_WIN" 2>/dev/null || true
  desktop_keys "alt+$mnemonic"
  sleep 0.6
  local i
  for i in $(seq 1 "$downs"); do xdotool key Down; sleep 0.15; done
  sleep 0.3
  desktop_keys Return
}

# Waits up to $2 seconds for a new PDF in DESKTOP_PDF_DIR newer than the
# marker file $1; prints its path.
desktop_wait_pdf() {
  local marker=$1 limit=${2:-30} i f
  for i in $(seq 1 $((limit * 5))); do
    f=$(find "$DESKTOP_PDF_DIR" -name '*.pdf' -newer "$marker" 2>/dev/null | head -n 1)
    if [ -n "$f" ] && [ -s "$f" ]; then
      sleep 0.5
      echo "$f"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

desktop_screenshot() {
  local out=$1 window=${2:-root}
  if [ "$window" = root ]; then
    xwd -root -silent | convert xwd:- "$out"
  else
    xwd -id "$window" -silent | convert xwd:- "$out"
  fi
}

desktop_stop() {
  [ -n "${DESKTOP_APP_PID:-}" ] && kill "$DESKTOP_APP_PID" 2>/dev/null || true
  [ -n "${DESKTOP_XVFB_PID:-}" ] && kill "$DESKTOP_XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
}

# The end-to-end tests' end: the program, openbox and the X server stopped,
# the work folder removed unless KESTRANE_E2E_KEEP is set.
desktop_cleanup() {
  [ -n "${OPENBOX_PID:-}" ] && kill "$OPENBOX_PID" 2>/dev/null || true
  desktop_stop
  [ -n "${KESTRANE_E2E_KEEP:-}" ] || rm -rf "$KESTRANE_WORK"
}

# Ends an end-to-end test as failed, with the program's output.
fail() {
  echo "FAIL: $* (work folder $KESTRANE_WORK)"
  echo "--- program output:"
  cat "$KESTRANE_WORK/kestrane.log" 2>/dev/null
  exit 1
}

# Ends the program through File > Exit (by its mnemonic: the recent files
# above it vary) and waits up to 5 s for it to end without an error.
desktop_exit_kestrane() {
  xdotool windowfocus --sync "$DESKTOP_WIN" 2>/dev/null || true
  desktop_keys alt+f
  sleep 0.6
  desktop_keys x
  for _ in $(seq 1 50); do kill -0 "$DESKTOP_APP_PID" 2>/dev/null || break; sleep 0.1; done
  ! kill -0 "$DESKTOP_APP_PID" 2>/dev/null || fail "the program did not end at Exit"
  wait "$DESKTOP_APP_PID" || fail "the program ended with an error"
  DESKTOP_APP_PID=
}
