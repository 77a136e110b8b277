# Sourced by the scripts: installs the Debian packages Kestrane needs, and
# only those that are missing, so a second run costs a second.
# Usage: kestrane_install_deps [extra packages...]

KESTRANE_PACKAGES=(
  cmake make g++ pkg-config ccache
  qt6-base-dev libgl-dev
  xvfb xauth fonts-liberation2
  unixodbc-dev unixodbc libsqliteodbc sqlite3
  postgresql odbc-postgresql
  poppler-utils
  clang libclang-rt-14-dev
  xdotool cups cups-client printer-driver-cups-pdf
  openbox x11-utils zbar-tools libzint-dev clang-format-14 gcovr time
  libpng-dev python3-minimal
  lintian appstream desktop-file-utils
)

kestrane_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

kestrane_install_deps() {
  local missing=()
  local pkg
  for pkg in "${KESTRANE_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    kestrane_sudo apt-get update -qq
    kestrane_sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Configures and builds into the given folder with the given extra options;
# KESTRANE_TARGETS limits the build to those targets.
kestrane_build() {
  local dir=$1; shift
  cmake -S "$KESTRANE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  # shellcheck disable=SC2086
  cmake --build "$dir" --parallel "$(nproc)" ${KESTRANE_TARGETS:+--target $KESTRANE_TARGETS}
}
