#!/bin/sh
# Takes the place of the game in the demo: there is no game, only this note.
here=$(dirname "$0")
exec "$here/../tools/show-note.sh" "Lumen Reach" \
"Lumen Reach is a fictional game, so there is nothing to start.
In a real launcher this button would run the game and could close the launcher."
