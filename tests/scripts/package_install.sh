#!/usr/bin/env bash
# The Debian package on a real system (CI runs it as root on a fresh
# Debian 12): installed with apt-get, kestrane-batch prints a PDF, a later
# version installed over it keeps the user's settings and working list, and
# removing it leaves them alone.
#   package_install.sh <build folder> <package .deb>
set -euo pipefail
build=$(cd "$1" && pwd)
deb=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing a package needs root"; exit 0; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export DEBIAN_FRONTEND=noninteractive

# A user's files as the program keeps them.
export HOME="$scratch/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME QT_QPA_PLATFORM
mkdir -p "$HOME/.config" "$HOME/.local/share/kestrane"
QT_QPA_PLATFORM=offscreen "$build/kestrane_demo_data" "$scratch/data" >/dev/null
printf '[KESTRANE]\nDICTIONARY=%s\nPRINTFORMAT=1\n' "$scratch/data/pos.dct" >"$HOME/.config/QORPOS.conf"
cp "$scratch/data/items.txt" "$HOME/.local/share/kestrane/worklist.txt"
cp "$HOME/.config/QORPOS.conf" "$scratch/settings.before"
cp "$HOME/.local/share/kestrane/worklist.txt" "$scratch/worklist.before"
user_files_kept() {
  cmp -s "$HOME/.config/QORPOS.conf" "$scratch/settings.before" || fail "$1 changed the settings"
  cmp -s "$HOME/.local/share/kestrane/worklist.txt" "$scratch/worklist.before" || fail "$1 changed the working list"
}

# Prints the demo data file with the installed command; the PDF must hold
# the first SKU of the file.
print_pdf() {
  rm -f "$scratch/signs.pdf"
  /usr/bin/kestrane-batch --pdf "$scratch/signs.pdf" "$scratch/data/items.txt" || fail "kestrane-batch failed after $1"
  local sku
  sku=$(sed -n 2p "$scratch/data/items.txt" | cut -f1)
  pdftotext "$scratch/signs.pdf" - | grep -q "$sku" || fail "the PDF printed after $1 lacks SKU $sku"
}

apt-get install -y -qq "$deb" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "apt-get install $deb"; }
version=$(dpkg-query -W -f='${Version}' kestrane)
print_pdf "the installation"
user_files_kept "the installation"

# The next version, made from this one with a higher version number,
# installed over it.
dpkg-deb -R "$deb" "$scratch/next"
sed -i "s/^Version: .*/Version: ${version}+1/" "$scratch/next/DEBIAN/control"
dpkg-deb -b --root-owner-group "$scratch/next" "$scratch/next.deb" >/dev/null
apt-get install -y -qq "$scratch/next.deb" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "the upgrade"; }
[ "$(dpkg-query -W -f='${Version}' kestrane)" = "${version}+1" ] || fail "the upgrade did not take"
print_pdf "the upgrade"
user_files_kept "the upgrade"

apt-get purge -y -qq kestrane >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; fail "removing the package"; }
[ ! -e /usr/bin/kestrane ] || fail "the program is still there after removal"
user_files_kept "the removal"
echo "package install ok: $(basename "$deb"), upgrade to ${version}+1 and removal keep the user's files"
