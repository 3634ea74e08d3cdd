#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts the program.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
ladoton_install_packages
ladoton_build "$LADOTON_ROOT/build/release" Release -DLADOTON_TESTS=OFF
exec "$LADOTON_ROOT/build/release/ladoton" "$@"
