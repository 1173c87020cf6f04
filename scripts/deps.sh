#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages the project needs to build, test and run,
# asking apt only for what is missing, so a second run costs nothing.
# A script that needs more for itself names the extra packages as arguments.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ca-certificates
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils fonts-liberation2 iproute2
  desktop-file-utils appstream
  man-db groff-base dpkg-dev lintian
  ansible-core
  dbus at-spi2-core python3-pyatspi
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if [[ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]]; then
    missing+=("$p")
  fi
done
((${#missing[@]} == 0)) && exit 0

sudo=()
if ((EUID != 0)); then sudo=(sudo); fi
echo "Installing missing packages: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
