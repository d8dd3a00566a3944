#!/usr/bin/env bash
# Runs one Windows program under Wine, quietly, in the prefix the caller set up.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
