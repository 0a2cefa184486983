#!/bin/sh
# Shows a title and a text in whatever dialog tool the desktop offers; without one the text
# goes to a temporary file opened with the desktop's viewer, and as a last resort to stderr.
title=$1
text=$2
if command -v zenity >/dev/null 2>&1; then
    exec zenity --info --no-wrap --title="$title" --text="$text"
elif command -v kdialog >/dev/null 2>&1; then
    exec kdialog --title "$title" --msgbox "$text"
elif command -v xmessage >/dev/null 2>&1; then
    exec xmessage -center -title "$title" "$text"
elif command -v xdg-open >/dev/null 2>&1; then
    note=$(mktemp "${TMPDIR:-/tmp}/lumen-reach-XXXXXX.txt") || exit 1
    printf '%s\n\n%s\n' "$title" "$text" >"$note"
    exec xdg-open "$note"
else
    printf '%s: %s\n' "$title" "$text" >&2
fi
