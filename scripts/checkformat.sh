#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it with
# the committed .clang-format. Debian 12's clang-format 14 is the reference:
# other versions lay out some constructs differently.
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=clang-format-14
command -v "$formatter" >/dev/null || formatter=clang-format
version=$("$formatter" --version)
if [[ "$version" != *"version 14."* ]]; then
    echo "warning: $version is not clang-format 14; its layout may differ" >&2
fi

if [[ -d .git || -f .git ]]; then
    mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
else
    mapfile -d '' files < <(find keyboard display tests tools \( -name '*.cpp' -o -name '*.h' \) -print0)
fi

unformatted=()
for file in "${files[@]}"; do
    "$formatter" --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done

if ((${#unformatted[@]} > 0)); then
    echo "FORMAT CHECK FAILED: ${#unformatted[@]} file(s) differ from $formatter with .clang-format:" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    echo "Fix with: $formatter -i ${unformatted[*]}" >&2
    exit 1
fi
echo "Format check: ${#files[@]} C++ files match .clang-format ($formatter)."
