# Installs the Debian packages the build needs that are not installed yet (apt-get, as root;
# through sudo when not root). Sourced by scripts/test and scripts/run.
MERVANE_PACKAGES=(
  cmake ninja-build g++ pkg-config dpkg-dev
  libsqlite3-dev sqlite3 libcurl4-openssl-dev libcli11-dev
  libpugixml-dev libsimdjson-dev libhowardhinnant-date-dev tzdata
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-lxml dbus-daemon python3-dbusmock
  qt6-base-dev libqt6test6 fonts-symbola fonts-dejavu-core
  help2man lintian
)

install_missing_packages() {
  local missing=()
  local p
  for p in "${MERVANE_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "These packages are missing and this is not root: ${missing[*]}" >&2
      return 1
    fi
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}
