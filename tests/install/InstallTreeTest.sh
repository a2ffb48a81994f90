#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under an unusual prefix and
# checks what a desktop needs of the tree: the programs, a valid desktop
# entry, a file type that the shared-mime-info database recognises by name
# and by content, the icons, manual pages that render and cover every
# command of kvttool, and the shell completion.
# Arguments: BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=/opt/kvt-install-test
root=$work/root$prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR=$work/root cmake --install "$build" --prefix "$prefix" >/dev/null

for program in kvteditor kvttool; do
  [ -x "$root/bin/$program" ] || fail "bin/$program is missing or not executable"
done
"$root/bin/kvttool" --version | grep -q '^KVT Editor v' || fail "the installed kvttool does not run"

entry=$root/share/applications/kvteditor.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
for key in 'Exec=kvteditor %f' 'Icon=kvteditor' 'MimeType=application/x-kvt;'; do
  grep -qxF "$key" "$entry" || fail "the desktop entry lacks '$key'"
done

# The icon: scalable, and each PNG at the size its folder names.
[ -s "$root/share/icons/hicolor/scalable/apps/kvteditor.svg" ] || fail "the SVG icon is missing"
for size in 16 22 24 32 48 64 128 256; do
  png=$root/share/icons/hicolor/${size}x${size}/apps/kvteditor.png
  # PNG width and height: big-endian at bytes 16 and 20.
  dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "$png is '$dims', not ${size}x${size}"
done

# The file type, by name and by content, in a database of its own.
mime=$root/share/mime
XDG_DATA_DIRS=$root/share update-mime-database "$mime"
cp "$source/samples/sample.kvt" "$work/sample.kvt"
cp "$source/samples/sample.kvt" "$work/renamed.bin"
printf 'ITEMV3.1 not the version' >"$work/other.bin"
type_of() {
  XDG_DATA_HOME=$work/none XDG_DATA_DIRS=$root/share \
    gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
for file in sample.kvt renamed.bin; do
  type=$(type_of "$work/$file")
  [ "$type" = application/x-kvt ] || fail "$file is '$type', not application/x-kvt"
done
type=$(type_of "$work/other.bin")
[ "$type" != application/x-kvt ] || fail "a file with another version text is application/x-kvt"

# Manual pages: render without warnings; kvttool's names every command and
# option its usage lists, as does the completion.
man1=$root/share/man/man1
for page in kvteditor kvttool; do
  [ -s "$man1/$page.1.gz" ] || { fail "$page.1.gz is missing"; continue; }
  warnings=$(zcat "$man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$page.1 renders with warnings: $warnings"
  MANWIDTH=80 man -l "$man1/$page.1.gz" 2>/dev/null | grep -q '^NAME' || fail "man -l does not render $page.1"
done
completion=$root/share/bash-completion/completions/kvttool
[ -s "$completion" ] || fail "the bash completion is missing"
commands=$("$root/bin/kvttool" --help | awk '/^Commands:/ {on = 1; next} on && /^  [a-z-]/ {print $1} on && /^$/ {on = 0}')
[ -n "$commands" ] || fail "no commands found in the usage of kvttool"
# Rendered as plain text, each entry starts a line indented by seven spaces,
# after any aliases ("-h, --help").
page=$(zcat "$man1/kvttool.1.gz" | groff -man -Tascii -P-cbou 2>/dev/null)
for command in $commands; do
  grep -qE -- "^ {7}([^ ]+, )*$command( |\$)" <<<"$page" || fail "kvttool.1 does not describe '$command'"
  bash -c "source '$completion'; COMP_WORDS=(kvttool '$command'); COMP_CWORD=1; _kvttool; printf '%s\n' \"\${COMPREPLY[@]}\"" |
    grep -qxF -- "$command" || fail "the completion does not offer '$command'"
done

exit $((failures > 0))
