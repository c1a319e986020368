#!/usr/bin/env bash
# Installs what is missing, builds what it starts, and starts Mirravel.
#   ./run.sh          the program, with your own saved logins
#   ./run.sh --demo   against two local sample databases (the stand-in driver), with demo logins
#                     kept apart from your own
# It builds the program (and for the demo the stand-in driver and its tool) and nothing else;
# ./test.sh builds the rest in the same folder.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no graphical display (DISPLAY is not set); try: xvfb-run -a ./run.sh${*:+ $*}" >&2
    exit 2
fi

mirravel_install_packages "${MIRRAVEL_PROGRAM_PACKAGES[@]}" "${MIRRAVEL_DEMO_PACKAGES[@]}"
mirravel_configure "$MIRRAVEL_BUILD"
if [ "${1:-}" = "--demo" ]; then
    mirravel_compile "$MIRRAVEL_BUILD" mirravel devdbodbc devdb-tool
    source "$MIRRAVEL_ROOT/devdb/demo/setup-demo.sh"
    mirravel_setup_demo "$MIRRAVEL_ROOT/.demo"
else
    mirravel_compile "$MIRRAVEL_BUILD" mirravel
fi
echo "Starting $MIRRAVEL_BUILD/src/mirravel"
exec "$MIRRAVEL_BUILD/src/mirravel"
