#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds CALVERO1 and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
calvero_install_packages
# The library and the Python module too: cmake --install installs them.
CALVERO_TARGETS="calvero1 calvero1-batch digitora calvero_runtime_files calvero calvero_python" calvero_build "$CALVERO_ROOT/build"
exec "$CALVERO_ROOT/build/calvero1"
