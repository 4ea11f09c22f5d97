#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing. Sourced by the other scripts.
set -euo pipefail

TOLV_PACKAGES=(
  cmake make g++ clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libpng-dev libcli11-dev libtinygltf-dev duktape-dev
  g++-mingw-w64-x86-64 wine64 googletest libstb-dev
)

tolv_install_missing() {
  local missing=()
  for pkg in "${TOLV_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}" >&2
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}
