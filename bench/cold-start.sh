#!/bin/sh
# Cold start of the runtime folder from a disc: the folder's size, the bytes of it that a start
# reads up to the first painted page with nothing of it in the page cache, and that volume at a
# DVD's 10 MB/s. Goal: under 25 MB read, so under 2.5 s from a DVD.
# Usage: bench/cold-start.sh [runtime folder]   (default: the one scripts/package made in dist/)
# The folder goes into a read-only filesystem image mounted through a loop device with a DVD
# drive's read-ahead (128 KiB) in a private mount namespace (ext4: not every kernel has
# iso9660, and the read-ahead, not the format, decides what a start reads); its pages
# are dropped from the cache (posix_fadvise DONTNEED through dd's nocache flag); the demo runs
# offscreen until its first page is painted (one event-loop round later its default page creates
# a marker folder, as in bench/StartupBench.cpp) and is stopped there; fincore tells which bytes
# of the disc were read (file data with its read-ahead; directory and inode blocks are not
# counted). Needs root and loop devices.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${VELLMAR_IN_NAMESPACE:-}" != 1 ]; then
    source=${1:-$(ls -d "$root"/dist/vellmar-launcher-*-linux-*/ 2>/dev/null | grep -v '\.debug/$' | head -n 1)}
    [ -n "$source" ] && [ -x "$source/autorun" ] || {
        echo "cold-start: no runtime folder; run scripts/package first" >&2
        exit 1
    }
    exec env VELLMAR_IN_NAMESPACE=1 unshare -m --propagation private sh "$0" "$source"
fi
source=$1
work=$(mktemp -d "${TMPDIR:-/var/tmp}/vellmar-coldstart-XXXXXX")
pid=
cleanup() {
    [ -z "$pid" ] || kill -9 "$pid" 2>/dev/null || true
    umount "$work/disc" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

marker=$work/painted
mkdir "$work/image" "$work/disc"
cp -a "$source/." "$work/image/"
sed -e 's|<page name="main" |<page name="main" actionqueue="bench_painted" |' \
    -e 's|<actionqueues>|<actionqueues><actionqueue name="bench_painted"><delay value="1"/><action action="createdir" value="bench_marker"/></actionqueue>|' \
    -e "s|<strings language=\"en\">|<strings language=\"en\"><string name=\"bench_marker\">$marker</string>|" \
    "$source/data/autorun.xml" >"$work/image/data/autorun.xml"
blocks=$(du -sk "$work/image" | awk '{ print int($1 * 1.2) + 8192 }')
mkfs.ext4 -q -d "$work/image" -L LUMEN_REACH "$work/disc.img" "${blocks}k" >/dev/null
mount -o loop,ro "$work/disc.img" "$work/disc"
loop=$(findmnt -n -o SOURCE "$work/disc")
echo 128 >"/sys/block/${loop#/dev/}/queue/read_ahead_kb"
folder=$work/disc

files() { find "$folder" -type f; }
resident() { files | xargs -d '\n' fincore --bytes --noheadings --output RES,FILE; }
evict() {
    files | while IFS= read -r file; do dd if="$file" iflag=nocache count=0 status=none; done
    dd if="$work/disc.img" iflag=nocache count=0 status=none
}

mkdir -p "$work/home/runtime" && chmod 700 "$work/home/runtime"
start() {
    rm -rf "$marker"
    env -i HOME="$work/home" XDG_RUNTIME_DIR="$work/home/runtime" PATH=/usr/bin:/bin \
        LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen AUTORUN_NONINTERACTIVE=1 \
        VELLMAR_AUDIO_SINK=fakesink "$folder/autorun" >/dev/null 2>"$work/stderr" &
    pid=$!
    started=$(date +%s%N)
    waited=0
    while [ ! -d "$marker" ] && kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 3000 ]; do
        sleep 0.01
        waited=$((waited + 1))
    done
    kill -STOP "$pid" 2>/dev/null || true
    painted_ms=$((($(date +%s%N) - started) / 1000000))
    [ -d "$marker" ] || { echo "cold-start: no painted page: $(cat "$work/stderr")" >&2; exit 1; }
}
stop() { kill -9 "$pid"; wait "$pid" 2>/dev/null || true; pid=; }

# A first start fills the caches of the home (fonts) and seeds the news, as any earlier start
# on the player's machine would; then the measured start.
start
stop
evict
left=$(resident | awk '{ s += $1 } END { print s + 0 }')
start
resident >"$work/read"
stop

mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1e6 }'; }
size=$(du -sb "$source" | cut -f1)
read_bytes=$(awk '{ s += $1 } END { print s + 0 }' "$work/read")
echo "Runtime folder: $(mb "$size") ($(mb "$(stat -c %s "$work/disc.img")") as a disc image)"
echo "Read from the disc during a cold start to the first painted page: $(mb "$read_bytes")" \
     "(left in the cache after eviction: $(mb "$left"); painted after $painted_ms ms here)"
awk -v b="$read_bytes" 'BEGIN { s = b / 10e6; printf "At 10 MB/s (DVD): %.2f s; goal under 25 MB / 2.5 s: %s\n", s, b < 25e6 ? "met" : "NOT met" }'
echo "By kind:"
awk -v folder="$folder/" '{
    file = substr($2, length(folder) + 1)
    kind = file ~ /^lib\/libQt6/ ? "Qt" : file ~ /^lib\/libicu/ ? "ICU" : \
           file ~ /^(lib|plugins)\// ? "other libraries" : file ~ /^data\// ? "the demo (data/)" : \
           "autorun, libunrar.so and the rest"
    sum[kind] += $1; total += $1
} END { for (kind in sum) printf "%10d  %5.1f MB (%2.0f%%)  %s\n", sum[kind], sum[kind] / 1e6, 100 * sum[kind] / total, kind }' \
    "$work/read" | sort -rn | cut -c11-
echo "Largest reads:"
sort -rn "$work/read" | head -n 8 | while read -r bytes file; do
    printf '  %9s of %9s  %s\n' "$(mb "$bytes")" "$(mb "$(stat -c %s "$file")")" "${file#"$folder"/}"
done
