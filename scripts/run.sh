#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds CALVERO1 and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
calvero_install_packages
calvero_build "$CALVERO_ROOT/build"
exec "$CALVERO_ROOT/build/calvero1"
