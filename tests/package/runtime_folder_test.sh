#!/bin/sh
# Runs the runtime folder as a player's machine would: unpacked from its archive, with the
# system's Qt, libxml2, ICU and libarchive hidden (bind mounts in a private mount namespace)
# and an empty environment. The demo must paint its first page and close (its default page is
# given a closing queue); without the folder's lib/ autorun.sh must say what is missing; from a
# read-only mount the news must be seeded into the player's folder and nothing written inside.
# Usage: runtime_folder_test.sh <packages folder of a build>   Exit 77 (skipped) before
# scripts/package has made the archive there.
set -eu
if [ "${VELLMAR_IN_NAMESPACE:-}" = 1 ]; then
    archive=$1
else
    archive=$(ls "$1"/vellmar-launcher-*-linux-*.tar.gz 2>/dev/null | head -n 1)
    [ -n "$archive" ] || { echo "skipped: no runtime folder archive in $1 (scripts/package)"; exit 77; }
    # root may mount in a private namespace; anyone else gets one through a user namespace.
    if [ "$(id -u)" -eq 0 ]; then flags=-m; else flags=-rm; fi
    exec env VELLMAR_IN_NAMESPACE=1 unshare $flags --propagation private sh "$0" "$archive"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vellmar-bundle-XXXXXX")
folder=
cleanup() {
    umount -R "$work/ro" 2>/dev/null || true
    umount "$folder/lib" "$folder/autorun" "$folder/data/autorun.xml" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# A game folder of a player whose folder names are not ASCII and have spaces.
mkdir "$work/Spiele Ü"
tar -xzf "$archive" -C "$work/Spiele Ü"
folder=$(find "$work/Spiele Ü" -mindepth 1 -maxdepth 1 -type d)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The first page closes the launcher one event-loop round after it was painted.
sed -e 's|<page name="main" |<page name="main" actionqueue="test_close" |' \
    -e 's|<actionqueues>|<actionqueues><actionqueue name="test_close"><delay value="1"/><action action="system" value="close"/></actionqueue>|' \
    "$folder/data/autorun.xml" >"$work/closing.xml"
grep -q test_close "$work/closing.xml" || { echo "FAIL: the demo has no page main"; exit 1; }
mount --bind "$work/closing.xml" "$folder/data/autorun.xml"

# The system's copies become empty files; its Qt plugins an empty folder.
mkdir "$work/empty"
hidden=0
for file in /usr/lib/*/libQt6* /usr/lib/*/libxml2.so* /usr/lib/*/libicu*.so* \
            /usr/lib/*/libarchive.so* /usr/lib/libQt6* /usr/lib64/libQt6*; do
    [ -f "$file" ] && [ ! -L "$file" ] || continue
    mount --bind /dev/null "$file"
    hidden=$((hidden + 1))
done
for plugins in /usr/lib/*/qt6/plugins; do
    [ -d "$plugins" ] && mount --bind "$work/empty" "$plugins"
done
[ "$hidden" -gt 0 ] || fail "no system library was hidden"
# Every binary of the folder finds what it links: the runs below never load libarchive (only a
# news update does) nor the Wayland plugin.
for file in "$folder/autorun" "$folder/libunrar.so" "$folder"/lib/* "$folder"/plugins/*/*; do
    if missing=$(env -i /usr/bin/ldd "$file" 2>&1 | grep -e 'not found' -e 'error while'); then
        fail "${file#"$folder"/}: $missing"
    fi
done

listing() { (cd "$1" && find . -printf '%p %s %T@\n' | sort); }
before=$(listing "$folder")

# run <label> <expected: 0|fail> <program> [NAME=value...]: in an empty environment with a home
# of its own, offscreen unless told otherwise.
run() {
    label=$1 expected=$2 program=$3
    shift 3
    home="$work/home-$label"
    mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
    code=0
    env -i HOME="$home" XDG_RUNTIME_DIR="$home/runtime" PATH=/usr/bin:/bin LANG=C.UTF-8 \
        QT_QPA_PLATFORM=offscreen AUTORUN_NONINTERACTIVE=1 VELLMAR_AUDIO_SINK=fakesink "$@" \
        timeout 60 "$program" >"$work/$label.out" 2>"$work/$label.err" || code=$?
    if [ "$expected" = 0 ]; then
        [ "$code" -eq 0 ] || fail "$label: exit code $code: $(cat "$work/$label.err")"
        ! grep -q '^MessageBox:' "$work/$label.err" || fail "$label: $(cat "$work/$label.err")"
        [ -f "$home/.local/share/Lumen Reach/news/news.xml" ] ||
            fail "$label: the news were not seeded into the player's folder"
    else
        [ "$code" -ne 0 ] || fail "$label: a launcher that could not start reported success"
        grep -q '^autorun.sh: the launcher could not start' "$work/$label.err" ||
            fail "$label: autorun.sh said nothing: $(cat "$work/$label.err")"
    fi
}

run autorun 0 "$folder/autorun"
run autorun.sh 0 "$folder/autorun.sh"
# A real X server, so that the folder's own xcb plugin and its libraries are used.
if command -v Xvfb >/dev/null 2>&1; then
    Xvfb -displayfd 3 -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    run x11 0 "$folder/autorun.sh" QT_QPA_PLATFORM= DISPLAY=":$(cat "$work/display")"
    kill "$xvfb"
fi
[ "$(listing "$folder")" = "$before" ] || fail "a run wrote inside the folder"

run no-display fail "$folder/autorun.sh" QT_QPA_PLATFORM= DISPLAY=
grep -q '^autorun: no display' "$work/no-display.err" ||
    fail "no-display: $(cat "$work/no-display.err")"
mount --bind "$work/empty" "$folder/lib"
run no-lib fail "$folder/autorun.sh"
grep -q 'error while loading shared libraries: .*lib[^ /]*\.so' "$work/no-lib.err" ||
    fail "no-lib: the missing library is not named: $(cat "$work/no-lib.err")"
umount "$folder/lib"
# A launcher that crashes at start: the reason goes into the desktop's dialog box (a stand-in
# zenity records what it was asked to show).
mkdir "$work/tools"
printf '#!/bin/sh\nkill -SEGV $$\n' >"$work/crashing"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/zenity.args"\n' "$work" >"$work/tools/zenity"
chmod +x "$work/crashing" "$work/tools/zenity"
mount --bind "$work/crashing" "$folder/autorun"
run crash fail "$folder/autorun.sh" PATH="$work/tools:/usr/bin:/bin" DISPLAY=:0
grep -q '^--error$' "$work/zenity.args" 2>/dev/null && grep -q 'exit code 139, signal SEGV' "$work/zenity.args" ||
    fail "crash: no dialog box with the reason: $(cat "$work/zenity.args" 2>/dev/null)"
umount "$folder/autorun"
# A launcher that starts a game and closes: the script returns while the game goes on.
printf '#!/bin/sh\nsleep 20 &\necho $! >"%s/game.pid"\n' "$work" >"$work/starting"
chmod +x "$work/starting"
mount --bind "$work/starting" "$folder/autorun"
timeout 10 "$folder/autorun.sh" >/dev/null 2>&1 || fail "autorun.sh waited for the game to end"
kill "$(cat "$work/game.pid")" 2>/dev/null || true
umount "$folder/autorun"

mkdir "$work/ro"
mount --rbind "$folder" "$work/ro"
mount -o remount,bind,ro "$work/ro"
touch "$work/ro/probe" 2>/dev/null && fail "the read-only mount is writable"
run read-only 0 "$work/ro/autorun.sh"
[ "$(listing "$folder")" = "$before" ] || fail "the read-only run changed the folder"

[ "$failures" -eq 0 ] && echo "runtime folder: all runs passed ($hidden system libraries hidden)"
exit "$failures"
