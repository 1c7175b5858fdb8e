#!/usr/bin/env bash
# Installs what building and running need, builds the program (without the
# tests and benchmarks, which need more), and starts Nimbrel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DNIMBREL_TESTS=OFF -DNIMBREL_BENCH=OFF
exec "${BUILD_DIR:-build}"/program/nimbrel
