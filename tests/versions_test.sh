#!/usr/bin/env bash
# Each program answers --help with its usage and --version with its name and the build's version,
# on standard output, exit status 0, without a display.
# Usage: versions_test.sh VERSION PROGRAM...
set -euo pipefail
version=$1
shift
failed=0
for program in "$@"; do
    name=$(basename "$program")
    if ! got=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version 2>/dev/null) ||
        [ "$got" != "$name $version" ]; then
        echo "$name --version said \"$got\", not \"$name $version\""
        failed=1
    fi
    if ! got=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help 2>/dev/null) ||
        [[ "$got" != "usage: $name "* ]]; then
        echo "$name --help did not start with its usage: $got"
        failed=1
    fi
done
exit "$failed"
