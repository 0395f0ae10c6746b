#!/usr/bin/env bash
# Sets up what is missing, builds QDX and starts it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-deps
scripts/build build
exec build/bin/qdx "$@"
