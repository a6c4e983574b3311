#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the packaging need,
# only those missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-serialport-dev libgl-dev
    libcups2-dev
    # the printer tests run a print server of their own: cupsd and its socket backend
    cups-daemon cups
    # the legend tests read the PDF they make: pdfinfo and pdftotext
    poppler-utils
    googletest libgtest-dev
    clang-format clang-14 libclang-rt-14-dev
    fonts-dejavu-core
    desktop-file-utils
    dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
