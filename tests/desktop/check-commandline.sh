#!/bin/sh
# The README's command-line section, `vardeko --help` and the manual page name the
# same options, and --help shows the README's modes as they are written.
# The options the program takes are those its --help lists and those the sources of
# the executable declare (a mode may read its options with a parser of its own),
# the scripted-run options of the runtime included (compiled programs take them too).
# usage: check-commandline.sh VARDEKO README.md vardeko.1 SRC_APP_DIR
set -eu
vardeko=$1 readme=$2 man=$3 appsrc=$4
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

options() { grep -o -- '--[a-z][a-z0-9-]*' | sort -u; }

awk '/^## Command line/ { s = 1; next }
     s == 1 && /^```/ { s = 2; next }
     s == 2 && /^```/ { exit }
     s == 2 { print }' "$readme" > "$tmp/readme-block"
[ -s "$tmp/readme-block" ] || { echo "README.md: no command-line section"; exit 1; }
options < "$tmp/readme-block" > "$tmp/readme"

# Help and version work without a display, as on a console or in a build.
for option in --help --help-all --version; do
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$vardeko" "$option" > "$tmp/out" 2>&1 \
        || { cat "$tmp/out"; echo "vardeko $option needs a display"; exit 1; }
done
QT_QPA_PLATFORM=offscreen "$vardeko" --help > "$tmp/help"
# The options the program takes: the first words of its option list.
sed -n '/^Options:/,/^Arguments:/p' "$tmp/help" \
    | grep -E '^ +(-[a-zA-Z], )?--' | sed -E 's/^ +(-[a-zA-Z], )?//; s/[ <].*//' \
    > "$tmp/program-listed"
cat "$appsrc"/*.cpp "$appsrc"/../runtime/rundriver.cpp | tr '\n' ' ' > "$tmp/sources"
{
    cat "$tmp/program-listed"
    grep -oE 'QCommandLineOption[^(;]*\( *\{? *QStringLiteral\("[a-z][a-z0-9-]+"' "$tmp/sources" \
        | sed -E 's/.*"([a-z0-9-]+)"$/--\1/'
    grep -oE '"--[a-z][a-z0-9-]*"' "$tmp/sources" | tr -d '"'
} | options > "$tmp/program"
sed 's/\\-/-/g' "$man" | options > "$tmp/man"

status=0
if ! diff -u --label "options vardeko takes" --label "options README.md lists" \
        "$tmp/program" "$tmp/readme"; then
    echo "Each mode and option has its line in the command-line section of README.md."
    status=1
fi
if ! diff -u --label "options README.md lists" --label "options vardeko.1 documents" \
        "$tmp/readme" "$tmp/man"; then
    status=1
fi
sed -n '/^Modes:/,/^Options:/p' "$tmp/help" | sed '1d;$d' | sed 's/^  //' \
    | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' > "$tmp/help-block"
if ! diff -u --label README.md --label "vardeko --help" "$tmp/readme-block" "$tmp/help-block"; then
    status=1
fi
[ "$status" -eq 0 ] && echo "$(wc -l < "$tmp/readme") options agree"
exit "$status"
