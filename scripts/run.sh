#!/usr/bin/env bash
# Installs what is missing, builds Quillmer and starts it from its program folder
# (build/bin). The first start creates a fresh database there.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" --target program_folder
exec "$here/build/bin/Quillmer" "$@"
