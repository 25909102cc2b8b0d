#!/usr/bin/env bash
# Installs the built tree into a temporary prefix, checks that every file is there, and runs the
# installed converter and, from the tree's bin folder, the window driver DRIVER: the program finds
# its files in the tree and writes nothing into it.
# Usage: installtree_test.sh BUILD_DIR DRIVER
set -euo pipefail
build=$1
driver=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

missing=0
for f in bin/morvane bin/morvane-convert bin/morvane-thumbnailer \
    lib/morvane/libmorvane_browser.so share/thumbnailers/morvane.thumbnailer \
    share/morvane/Favorites/1.txt share/morvane/Favorites/lotus.clo \
    share/morvane/Favorites/lotus.txt share/morvane/Favorites/gallery.htm \
    share/morvane/Language/English_mo.lng share/morvane/Language/English_about.lng \
    share/morvane/Language/GB2312_mo.lng share/morvane/Language/GB2312_about.lng \
    share/morvane/add.htm share/morvane/ReadHelp.htm share/morvane/bk.gif \
    share/morvane/cellglyphs.bin share/applications/morvane.desktop \
    share/icons/hicolor/scalable/apps/morvane.svg share/mime/packages/morvane.xml \
    share/metainfo/org.example.Morvane.metainfo.xml share/man/man1/morvane.1.gz \
    share/man/man1/morvane-convert.1.gz share/man/man1/morvane-thumbnailer.1.gz \
    share/doc/morvane/copyright; do
    if [ ! -s "$prefix/$f" ]; then
        echo "missing from the installed tree: $f"
        missing=1
    fi
done
for f in morvane.ini temp README.HTM; do
    if [ -e "$prefix/bin/$f" ] || [ -e "$prefix/share/morvane/$f" ]; then
        echo "installed, but the program's own to write: $f"
        missing=1
    fi
done
[ "$missing" -eq 0 ]

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/morvane.desktop"
else
    echo "desktop-file-validate not found (desktop-file-utils): the desktop entry is not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/org.example.Morvane.metainfo.xml"
fi
for page in "$prefix"/share/man/man1/*.1.gz; do
    gzip -t "$page"
done
# The MIME database builds from the package, and knows both types by their names.
cp -r "$prefix/share/mime" "$work/mime"
update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || { cat "$work/mime.log"; exit 1; }
grep -q '^text/x-ansi:\*\.ans$' "$work/mime/globs"
grep -q '^text/x-morvane-clo:\*\.clo$' "$work/mime/globs"

# The tree as a user who may write it would have it; the program must still leave it alone.
cp "$driver" "$prefix/bin/"
find "$prefix" -printf '%P %s %T@\n' | sort >"$work/before"

out=$work/out
mkdir -p "$out"
"$prefix/bin/morvane-convert" --to gif -o "$out/lotus.gif" "$prefix/share/morvane/Favorites/lotus.clo" \
    >"$work/convert.log" 2>&1 || { cat "$work/convert.log"; exit 1; }
[ -s "$out/lotus.gif" ]
[ "$(head -c 4 "$out/lotus.gif")" = GIF8 ]
# As a file manager calls it, from the entry's own command line.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/morvane.thumbnailer")
exec_line=${exec_line//%s/128}
exec_line=${exec_line//%i/$prefix/share/morvane/Favorites/lotus.clo}
exec_line=${exec_line//%o/$out/thumb.png}
read -r -a thumbnail_command <<<"$exec_line"
thumbnail_command[0]=$prefix/bin/${thumbnail_command[0]}
"${thumbnail_command[@]}" >"$work/thumb.log" 2>&1 || { cat "$work/thumb.log"; exit 1; }
[ "$(head -c 4 "$out/thumb.png" | tail -c 3)" = PNG ]

mkdir -p "$work/home" "$work/tmp"
HOME=$work/home XDG_CONFIG_HOME=$work/home/config TMPDIR=$work/tmp \
    "$prefix/bin/$(basename "$driver")"

find "$prefix" -printf '%P %s %T@\n' | sort >"$work/after"
if ! diff "$work/before" "$work/after"; then
    echo "the program wrote into its installed tree"
    exit 1
fi
