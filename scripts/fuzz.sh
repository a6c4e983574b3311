#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a given time on a
# working copy of its seed corpus (tests/fuzz/corpus/<target>/).
#   bash scripts/fuzz.sh [seconds per target] [target ...]
# A finding stops the run; its input is left in build/Fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true

bash scripts/setup.sh
cmake -S . -B build/Fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++-14
cmake --build build/Fuzz --target fuzzers

shopt -s nullglob
targets=("$@")
if ((${#targets[@]} == 0)); then
    for corpus in tests/fuzz/corpus/*/; do
        targets+=("$(basename "$corpus")")
    done
fi

export QT_QPA_PLATFORM=offscreen
# ASan keeps freed memory in a 256 MB quarantine by default, which grew a
# target to hundreds of megabytes within seconds; 16 MB still catches use
# after free of recent blocks. The RSS limit turns real growth into a finding.
export ASAN_OPTIONS="quarantine_size_mb=16${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
status=0
for target in "${targets[@]}"; do
    work=build/Fuzz/corpus-work/$target
    findings=build/Fuzz/findings/$target
    mkdir -p "$work" "$findings"
    cp -n tests/fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
    echo "== $target: ${seconds} s"
    if ! build/Fuzz/fuzz/"$target" -max_total_time="$seconds" -rss_limit_mb=512 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$work"; then
        echo "FUZZ FINDING in $target: see $findings/" >&2
        status=1
    fi
done
exit $status
