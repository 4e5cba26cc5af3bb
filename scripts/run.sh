#!/usr/bin/env bash
# Sets up, builds and starts the viewer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTR4_WERROR=ON
if [[ -x "$root/build/app/tr4viewer" ]]; then
  cd "$root/build/demo" 2>/dev/null || cd "$root/build"
  exec "$root/build/app/tr4viewer"
fi
echo "run: everything is built; the viewer itself does not exist yet."
