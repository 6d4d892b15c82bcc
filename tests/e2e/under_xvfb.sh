#!/usr/bin/env bash
# Runs a command on a private Xvfb display through Qt's X11 platform.
set -euo pipefail
source "$(cd "$(dirname "$0")" && pwd)/common.sh"
begin_e2e
export QT_QPA_PLATFORM=xcb
"$@"
