#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every source file says under which licence it may be reused, in its first two lines, and the
# licence it names is the one LICENSE holds.   licence_test.sh SOURCE_DIR
set -euo pipefail
src=$1
grep -q '^MIT License$' "$src/LICENSE" || { echo "LICENSE holds no MIT licence" >&2; exit 1; }
# Build folders (anything holding a CMakeCache.txt) hold generated sources of CMake's own.
prune=(-name .git)
while IFS= read -r cache; do prune+=(-o -path "$(dirname "$cache")"); done \
  < <(find "$src" -name CMakeCache.txt)
missing=$(find "$src" \( "${prune[@]}" \) -prune -o -type f \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name CMakeLists.txt -o -name '*.cmake' \) \
  -print | while IFS= read -r file; do
  head -n 2 "$file" | grep -q 'SPDX-License-Identifier: MIT' || echo "${file#"$src"/}"
done)
[ -z "$missing" ] || { echo "no SPDX licence line in: $(echo $missing)" >&2; exit 1; }
