#!/usr/bin/env bash
# Runs one Windows program under Wine, quietly, in the prefix the caller set up.
source "$(dirname "$0")/wine-env.sh"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec "$ROSTREL_WINE" "$@"
