#!/usr/bin/env bash
# Sets up, builds and starts the viewer in the folder that holds the demo
# level, so the file dialog opens there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTR4_WERROR=ON
cd "$root/build/demo"
exec "$root/build/app/tr4viewer"
