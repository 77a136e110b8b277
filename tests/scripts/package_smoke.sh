#!/usr/bin/env bash
# Builds the Debian package from the current build, unpacks it into a
# scratch root and starts the installed program there.
#   package_smoke.sh <build folder>
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cd "$build"
cpack -G DEB --config CPackConfig.cmake -B "$scratch/out" >/dev/null
deb=$(ls "$scratch"/out/kestrane_*.deb)
# grep reads the whole listing: with -q it may stop early and dpkg-deb, cut off
# by the closed pipe, would fail the pipeline.
dpkg-deb --info "$deb" | grep "Depends:.*libqt6widgets6" >/dev/null || { echo "package lacks its Qt dependency"; exit 1; }
dpkg-deb -x "$deb" "$scratch/root"
for f in usr/bin/kestrane usr/bin/kestrane-batch usr/share/man/man1/kestrane-batch.1 usr/share/applications/kestrane.desktop usr/share/icons/hicolor/scalable/apps/kestrane.svg \
  usr/share/doc/kestrane/guide.md usr/share/doc/kestrane/images/main-window.png; do
  [ -e "$scratch/root/$f" ] || { echo "missing from the package: $f"; exit 1; }
done
grep -q '^Exec=kestrane' "$scratch/root/usr/share/applications/kestrane.desktop"

# Start the installed program with its own settings; it must come up and
# keep running until it is stopped.
export XDG_DATA_HOME="$scratch/share" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=offscreen
set +e
timeout 3 "$scratch/root/usr/bin/kestrane" >"$scratch/log" 2>&1
rc=$?
set -e
if [ "$rc" -ne 124 ]; then
  echo "the installed program ended early with status $rc:"; cat "$scratch/log"; exit 1
fi
# The installed batch command runs without a display and answers --help.
env -u QT_QPA_PLATFORM "$scratch/root/usr/bin/kestrane-batch" --help | grep -q '^Usage: kestrane-batch' \
  || { echo "the installed kestrane-batch does not start"; exit 1; }
echo "package ok: $(basename "$deb")"
