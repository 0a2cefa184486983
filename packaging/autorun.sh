#!/bin/sh
# Entry point for desktops that start a medium's autorun.sh when it is mounted. Starts the
# launcher beside this script with the arguments given. When the launcher cannot start at all
# (a missing library, no display, a crash) the reason is shown in a dialog box of whatever
# tool the desktop has, and always on stderr, instead of vanishing without a word.
here=$(CDPATH='' cd -- "$(dirname -- "$0")" && pwd) || exit 1

log=$(mktemp "${TMPDIR:-/tmp}/vellmar-autorun.XXXXXX" 2>/dev/null) || log=
status=$(mktemp "${TMPDIR:-/tmp}/vellmar-status.XXXXXX" 2>/dev/null) || status=
if [ -z "$log" ] || [ -z "$status" ]; then
    rm -f "$log" "$status"
    exec "$here/autorun" "$@"
fi
trap 'rm -f "$log" "$status"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# stderr goes to the terminal and to the log; stdout stays as it is.
{ "$here/autorun" "$@" 2>&1 1>&3 3>&-; echo $? >"$status"; } 3>&1 | tee "$log" >&2
code=$(cat "$status")
code=${code:-1}
[ "$code" -eq 0 ] && exit 0

# Exit codes 126/127 are the loader's (missing file or library), above 128 a signal; the
# launcher's own start-up errors were already shown in its own message box.
if [ "$code" -lt 126 ] && ! grep -q '^autorun: no display' "$log"; then
    exit "$code"
fi
reason=$(grep -v '^MessageBox:' "$log" | tail -n 12)
[ -n "$reason" ] || reason="it ended with exit code $code"
text="The launcher could not start:
$reason"
echo "autorun.sh: the launcher could not start (exit code $code)" >&2

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    if command -v zenity >/dev/null 2>&1; then
        markup=$(printf '%s' "$text" | sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g')
        zenity --error --no-wrap --title="autorun" --text="$markup" 2>/dev/null && exit "$code"
    fi
    if command -v kdialog >/dev/null 2>&1; then
        kdialog --title "autorun" --error "$text" 2>/dev/null && exit "$code"
    fi
    if command -v xmessage >/dev/null 2>&1; then
        xmessage -center -title "autorun" "$text" 2>/dev/null && exit "$code"
    fi
fi
exit "$code"
