#!/bin/sh
# The headless transition contract: step lines, the closing line, effect names and
# numbers, saved frames and exit statuses.
# usage: check-transition-command.sh VARDEKO
set -eu
vardeko=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM=offscreen
fail() { echo "$*"; exit 1; }

convert -size 640x480 xc:navy "$tmp/old.png"
convert -size 640x480 gradient:yellow-green -fill red -draw 'circle 320,240 320,300' -depth 8 "$tmp/new.png"
convert -size 37x101 xc:white "$tmp/old-odd.png"
convert -size 37x101 gradient:blue-orange -depth 8 "$tmp/new-odd.png"

"$vardeko" --transition "Wipe Right" --speed 0 --from "$tmp/old.png" --to "$tmp/new.png" > "$tmp/out"
[ "$(tail -n 1 "$tmp/out")" = "$(printf 'Done\t59\t59\t1')" ] || fail "Wipe Right at speed 0: $(tail -n 1 "$tmp/out")"
[ "$(head -n 1 "$tmp/out")" = "$(printf 'Step\t1\t0,0,11,480\t1')" ] || fail "first strip: $(head -n 1 "$tmp/out")"
grep -v '^Done' "$tmp/out" | grep -vqE '^Step	[0-9]+	[0-9]+,[0-9]+,[0-9]+,[0-9]+	[0-9]+$' \
    && fail "a step line out of form"

# Every effect ends on the new page, here on an odd-sized one (the library's tests
# cover the shapes and speeds).
for effect in 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 "slide left" "WEAVE VERTICAL"; do
    last=$("$vardeko" --transition "$effect" --speed 3 --origin 3,5 \
        --from "$tmp/old-odd.png" --to "$tmp/new-odd.png" | tail -n 1)
    [ "${last##*	}" = 1 ] || fail "effect $effect: $last"
done

"$vardeko" --transition Dissolve --speed 2 --from "$tmp/old.png" --to "$tmp/new.png" --frames "$tmp/frames" \
    > "$tmp/out"
[ "$(tail -n 1 "$tmp/out")" = "$(printf 'Done\t8\t160\t1')" ] || fail "Dissolve: $(tail -n 1 "$tmp/out")"
[ "$(ls "$tmp/frames" | wc -l)" -eq 8 ] || fail "Dissolve saved $(ls "$tmp/frames" | wc -l) frames"
compare -metric AE "$tmp/frames/frame-0008.png" "$tmp/new.png" null: 2> /dev/null \
    || fail "the last saved frame differs from the new page"

status=0
"$vardeko" --transition Sparkle --speed 0 --from "$tmp/old.png" --to "$tmp/new.png" > /dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "an unknown effect exits with $status"
status=0
"$vardeko" --transition 1 --speed 0 --from "$tmp/none.png" --to "$tmp/new.png" > /dev/null 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "a missing picture exits with $status"
echo "transition command agrees"
