#!/bin/sh
# Entry point for desktops that start a medium's autorun.sh when it is mounted. Starts the
# launcher beside this script with the arguments given. When the launcher cannot start at all
# (a missing library, no display, a crash) the reason is shown in a dialog box of whatever
# tool the desktop has, and always on stderr, instead of vanishing without a word.
here=$(CDPATH='' cd -- "$(dirname -- "$0")" && pwd) || exit 1

work=$(mktemp -d "${TMPDIR:-/tmp}/vellmar-autorun.XXXXXX" 2>/dev/null) || exec "$here/autorun" "$@"
if ! mkfifo "$work/stderr" 2>/dev/null; then
    rm -rf "$work"
    exec "$here/autorun" "$@"
fi
trap 'rm -rf "$work"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# stderr goes to the terminal and into a log through a copier in the background: a game that
# the launcher starts inherits stderr, and the script must not wait for it to end.
tee "$work/log" <"$work/stderr" >&2 &
copier=$!
code=0
"$here/autorun" "$@" 2>"$work/stderr" || code=$?
[ "$code" -eq 0 ] && exit 0
for _ in 1 2 3 4 5 6 7 8 9 10; do
    kill -0 "$copier" 2>/dev/null || break
    sleep 0.1
done
log=$work/log

# Exit codes 126/127 are the loader's (missing file or library), above 128 a signal; the
# launcher's own start-up errors were already shown in its own message box.
if [ "$code" -lt 126 ] && ! grep -q '^autorun: no display' "$log"; then
    exit "$code"
fi
summary="exit code $code"
[ "$code" -le 128 ] || summary="$summary, signal $(kill -l "$((code - 128))" 2>/dev/null)"
text="The launcher could not start ($summary):
$(grep -v '^MessageBox:' "$log" | tail -n 12)"
echo "autorun.sh: the launcher could not start ($summary)" >&2

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
