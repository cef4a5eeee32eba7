#!/usr/bin/env bash
# Sets everything up, builds, and opens the window on the simulated board.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh --target kv7702-evm-sim
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display found (DISPLAY/WAYLAND_DISPLAY unset); start it from a desktop session" >&2
  exit 1
fi
exec build/app/kv7702-evm-sim
