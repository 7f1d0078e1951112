#!/usr/bin/env bash
# Starts taskwick, or says in one line how to when there is no display to start it on.
set -u
bin=$1; shift
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: start an X server first, e.g. 'Xvfb :99 -screen 0 1920x1080x24 & DISPLAY=:99 $bin'" >&2
    exit 1
fi
exec "$bin" "$@"
