#!/usr/bin/env bash
# Builds the suite (Release) and starts one program: morvaw (default) or vornestw.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-morvaw}
case "$program" in
    morvaw | vornestw) ;;
    *)
        echo "usage: $0 [morvaw|vornestw]" >&2
        exit 2
        ;;
esac

bash scripts/setup.sh
cmake -S . -B build/Release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/Release --target "$program"
exec "build/Release/bin/$program"
