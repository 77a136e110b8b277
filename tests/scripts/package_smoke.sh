#!/usr/bin/env bash
# Builds the Debian package from the current build, checks it with Debian's
# own tools (lintian, appstreamcli, desktop-file-validate: any error or
# warning fails), looks for paths of the build machine in the installed
# binaries, unpacks it into a scratch root and starts the installed program
# there.
#   package_smoke.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
for tool in lintian appstreamcli desktop-file-validate strings; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/deps.sh installs it)"
done

cd "$build"
cpack -G DEB --config CPackConfig.cmake -B "$scratch/out" >/dev/null
deb=$(ls "$scratch"/out/kestrane_*.deb)
# grep reads the whole listing: with -q it may stop early and dpkg-deb, cut off
# by the closed pipe, would fail the pipeline.
dpkg-deb --info "$deb" | grep "Depends:.*libqt6widgets6" >/dev/null || fail "package lacks its Qt dependency"

# A sanitizer build's package is never shipped: its binaries name their
# source files for the error reports, and lintian has no say on it.
shipped=1
grep -q '^KESTRANE_SANITIZE:BOOL=ON' CMakeCache.txt && shipped=
# Errors and warnings fail; informational tags may stay. Run as root (as CI
# does), lintian says so on standard error, which is not a finding.
if [ -n "$shipped" ]; then
  lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>"$scratch/lintian.err" \
    || { cat "$scratch/lintian" "$scratch/lintian.err"; fail "lintian rejects the package"; }
  ! grep -E '^[EW]: ' "$scratch/lintian" || fail "lintian reports errors or warnings"
fi

dpkg-deb -x "$deb" "$scratch/root"
metainfo=$(ls "$scratch"/root/usr/share/metainfo/*.metainfo.xml)
for f in usr/bin/kestrane usr/bin/kestrane-batch usr/share/man/man1/kestrane.1.gz usr/share/man/man1/kestrane-batch.1.gz \
  usr/share/applications/kestrane.desktop usr/share/icons/hicolor/scalable/apps/kestrane.svg \
  usr/share/doc/kestrane/guide.md usr/share/doc/kestrane/images/main-window.png usr/share/doc/kestrane/copyright \
  usr/share/doc/kestrane/changelog.gz; do
  [ -e "$scratch/root/$f" ] || fail "missing from the package: $f"
done
grep -q '^Exec=kestrane %f$' "$scratch/root/usr/share/applications/kestrane.desktop" || fail "the menu entry does not take a file"
desktop-file-validate "$scratch/root/usr/share/applications/kestrane.desktop" >"$scratch/desktop" 2>&1 \
  || { cat "$scratch/desktop"; fail "desktop-file-validate rejects the menu entry"; }
[ ! -s "$scratch/desktop" ] || { cat "$scratch/desktop"; fail "desktop-file-validate warns"; }
appstreamcli validate --no-net "$metainfo" >"$scratch/appstream" 2>&1 \
  || { cat "$scratch/appstream"; fail "appstreamcli rejects the metadata"; }
# The tree as installed: the metadata's file name and the desktop entry it
# launches.
appstreamcli validate-tree --no-net "$scratch/root" >>"$scratch/appstream" 2>&1 \
  || { cat "$scratch/appstream"; fail "appstreamcli rejects the installed tree"; }
! grep -E '^ *[EW]: ' "$scratch/appstream" || fail "appstreamcli warns"
# The metadata names the desktop entry and pictures the guide shows.
grep -q '<launchable type="desktop-id">kestrane.desktop</launchable>' "$metainfo" || fail "no launchable in the metadata"
for image in $(grep -o 'images/[a-z0-9-]*\.png' "$metainfo"); do
  [ -e "$scratch/root/usr/share/doc/kestrane/$image" ] || fail "the metadata pictures $image, which the guide lacks"
done

# No folder of the machine that built the package is named in the binaries.
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' CMakeCache.txt)
for bin in ${shipped:+kestrane kestrane-batch}; do
  for dir in "$source_dir" "$build" "$scratch"; do
    if strings -a "$scratch/root/usr/bin/$bin" | grep -F "$dir"; then
      fail "usr/bin/$bin names the build machine's folder $dir"
    fi
  done
done

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
# The installed commands run without a display and answer --help.
env -u QT_QPA_PLATFORM "$scratch/root/usr/bin/kestrane-batch" --help | grep -q '^Usage: kestrane-batch' \
  || fail "the installed kestrane-batch does not start"
env -u QT_QPA_PLATFORM -u DISPLAY "$scratch/root/usr/bin/kestrane" --help | grep -q '^Usage: kestrane ' \
  || fail "the installed kestrane does not answer --help"
echo "package ok: $(basename "$deb")"
