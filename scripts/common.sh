# Shared by scripts/run and scripts/test: installs the Debian packages the build needs (apt-get update
# only when something is missing) and configures and builds one build folder.
set -euo pipefail

PELM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PELM_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlcipher-dev sqlcipher
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev libxcb1-dev
  clang libclang-rt-14-dev
  tzdata fonts-dejavu-core fonts-liberation
  poppler-utils
  cups-daemon cups-client libcups2-dev
)

pelm_install_packages() {
  local missing=()
  for package in "${PELM_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# pelm_build <folder> [cmake options...]
pelm_build() {
  local folder="$1"
  shift
  cmake -S "$PELM_ROOT" -B "$PELM_ROOT/$folder" -G Ninja "$@" >/dev/null
  cmake --build "$PELM_ROOT/$folder"
}
