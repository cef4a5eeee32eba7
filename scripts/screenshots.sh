#!/usr/bin/env bash
# Renders the README's pictures of the window into docs/images.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh --target app_tests
mkdir -p docs/images
KV_SCREENSHOT_DIR="$PWD/docs/images" QT_QPA_PLATFORM=offscreen \
  build/tests/app/app_tests --gtest_filter='WindowTest.ReadmePictures:WindowTest.TestPagesPictures'
