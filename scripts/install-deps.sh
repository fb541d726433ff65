#!/usr/bin/env bash
# Installs the Debian 12 packages Zodra needs to build, test and run; only what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config git lld
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql postgresql
    qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins libgl-dev
    libsodium-dev libsqlite3-dev sqlite3
    libgtest-dev libgmock-dev libbenchmark-dev
    clang-format
    xvfb xauth poppler-utils fonts-dejavu-core libxml2-utils xsltproc
    libxml2-dev libxmlsec1-dev xmlsec1 libssl-dev openssl libqrencode-dev libzint-dev libzxing-dev
    libzip-dev
    openjdk-17-jre-headless libsaxonhe-java
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
