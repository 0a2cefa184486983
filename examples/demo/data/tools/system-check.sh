#!/bin/sh
# A harmless system check: reads a few facts about this computer and shows them.
here=$(dirname "$0")
os=$( (. /etc/os-release 2>/dev/null && printf '%s' "$PRETTY_NAME") || uname -s)
kernel=$(uname -sr)
cpus=$(getconf _NPROCESSORS_ONLN 2>/dev/null || echo "?")
memory=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo 2>/dev/null)
display=${WAYLAND_DISPLAY:-${DISPLAY:-none}}
exec "$here/show-note.sh" "Lumen Reach - System check" \
"Operating system: $os
Kernel: $kernel
Processors: $cpus
Memory: ${memory:-unknown}
Display: $display

Everything the launcher needs is here. The voyage can begin."
