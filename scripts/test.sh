#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless
# under Xvfb: unit tests (offscreen), engine tests and end-to-end tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
# (scripts/run.sh may have configured the same build without the tests.)
scripts/build.sh -DNIMBREL_TESTS=ON -DNIMBREL_BENCH=ON
cd "${BUILD_DIR:-build}"
# The first display number tried can be moved (a Debian 13 root shares this
# machine's abstract X sockets but not its /tmp, where xvfb-run looks for
# displays in use).
xvfb-run -a -n "${NIMBREL_DISPLAY_FROM:-99}" -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure "$@"
