#!/bin/sh
# Runs "$@" with Qt's X11 platform on a private Xvfb, which picks a free display itself.
dir=$(mktemp -d)
mkfifo "$dir/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$dir/display" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; rm -rf "$dir"' EXIT
read -r number <"$dir/display"
DISPLAY=":$number" QT_QPA_PLATFORM=xcb "$@"
status=$?
exit "$status"
