#!/bin/sh
# Makes the Debian package from the built tree, installs it into an empty root with
# dpkg --root, and checks that everything the desktop entry, the MIME package and the
# metadata name is where they say, and that the installed program runs.
# usage: check-package.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The package, from the tree as it is built (cpack installs it into its own staging folder).
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" > "$tmp/cpack.log" 2>&1 \
    || { cat "$tmp/cpack.log"; fail "cpack could not make the package"; }
deb=$(ls "$tmp"/out/vardeko_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "$depends" | grep -q 'libqt6widgets6' || fail "the computed dependencies miss Qt Widgets"

# An empty root with a dpkg database of its own.
root="$tmp/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
force=""
[ "$(id -u)" -eq 0 ] || force="--force-not-root"
# The libraries live on this machine, not in the empty root.
dpkg --root="$root" $force --force-depends --log=/dev/null -i "$deb" > "$tmp/dpkg.log" 2>&1 \
    || { cat "$tmp/dpkg.log"; fail "dpkg could not install the package"; }
dpkg --root="$root" -s vardeko | grep -q '^Status: install ok installed' || fail "not installed"
share="$root/usr/share"

# The desktop entry and what it names.
desktop="$share/applications/org.sarquel.Vardeko.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
exec_program=$(key Exec | cut -d' ' -f1)
[ -x "$root/usr/bin/$exec_program" ] || fail "Exec= names $exec_program, not in usr/bin"
[ -x "$root/usr/bin/$(key TryExec)" ] || fail "TryExec= names a missing program"
key Exec | grep -q ' %F$' || fail "Exec= takes no files"
[ "$(key StartupWMClass)" = Vardeko ] || fail "StartupWMClass= is not Vardeko"
icon=$(key Icon)
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
for size in 16 22 24 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -f "$png" ] || fail "no ${size} px icon"
    # The PNG's header holds its width and height.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [ "$dims" = "${size}x${size}" ] || fail "the ${size} px icon is $dims"
done

# Every MIME type of the entry is declared by an installed MIME package.
for type in $(key MimeType | tr ';' ' '); do
    grep -qs "<mime-type type=\"$type\"" "$share"/mime/packages/*.xml \
        || fail "MimeType $type is declared by no MIME package"
done

# The MIME package compiles, and recognises publications by name and by content.
update-mime-database "$share/mime" > "$tmp/mime.log" 2>&1 || { cat "$tmp/mime.log"; fail "update-mime-database"; }
sample="$share/vardeko/sample/SAMPLE.PUB"
[ -f "$sample" ] || fail "no sample publication"
cp "$sample" "$tmp/renamed.dat"
printf 'Not a publication\r\n' > "$tmp/other.txt"
for case in "$sample application/x-vardeko-publication" \
            "$tmp/renamed.dat application/x-vardeko-publication" \
            "$tmp/other.txt text/plain"; do
    set -- $case
    got=$(XDG_DATA_DIRS="$share:/usr/share" gio info -a standard::content-type "$1" \
          | sed -n 's/^ *standard::content-type: //p')
    [ "$got" = "$2" ] || fail "$(basename "$1") is taken for $got, not $2"
done

# The software-centre data names the same entry and type.
metainfo="$share/metainfo/org.sarquel.Vardeko.metainfo.xml"
appstreamcli validate --no-net "$metainfo" > "$tmp/appstream.log" 2>&1 \
    || { cat "$tmp/appstream.log"; fail "appstreamcli validate"; }
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" \
    || fail "the metadata launches another desktop entry"
grep -q "<mediatype>application/x-vardeko-publication</mediatype>" "$metainfo" \
    || fail "the metadata does not name the publication type"

# The manual page and the program's data.
[ -f "$share/man/man1/vardeko.1" ] || fail "no manual page"
[ -f "$share/vardeko/help/110.html" ] || fail "no help pages"
QT_QPA_PLATFORM=offscreen "$root/usr/bin/vardeko" --info "$sample" > "$tmp/info" \
    || fail "the installed program cannot read the installed sample"
grep -q '^Pages: ' "$tmp/info" || fail "vardeko --info printed no page count"
echo "package installs $(dpkg --root="$root" -L vardeko | wc -l) paths"
