#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there, that the desktop
# entry and the AppStream metadata validate, that the installed programs run, and that
# the Debian package names the libraries the binaries need.
# Usage: install-test.sh BUILD_FOLDER
set -uo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "FAIL: $1 is missing: run scripts/install-deps.sh"; exit 1; }; }
for tool in cmake cpack desktop-file-validate appstreamcli dpkg-deb man; do need "$tool"; done

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; exit 1; }

id=org.zanthe.Vorelle
# path | test: x executable, f file
while IFS='|' read -r path kind; do
  [ -z "$path" ] && continue
  case $kind in
    x) [ -x "$prefix/$path" ] || fail "$path is not an installed program" ;;
    f) [ -s "$prefix/$path" ] || fail "$path is missing or empty" ;;
  esac
done <<TABLE
bin/Vorelle|x
bin/vorelle-cli|x
share/applications/$id.desktop|f
share/metainfo/$id.metainfo.xml|f
share/icons/hicolor/16x16/apps/$id.png|f
share/icons/hicolor/32x32/apps/$id.png|f
share/icons/hicolor/48x48/apps/$id.png|f
share/icons/hicolor/256x256/apps/$id.png|f
share/man/man1/vorelle-cli.1.gz|f
TABLE

desktop=$prefix/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
while IFS= read -r line; do
  grep -qxF "$line" "$desktop" || fail "desktop entry lacks: $line"
done <<LINES
Name[zh_CN]=ZantheVorelle管理软件
Categories=Office;Finance;
Exec=Vorelle
Icon=$id
LINES
grep -q '^Comment\[zh_CN\]=.' "$desktop" || fail "desktop entry lacks a Chinese comment"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "metadata does not validate"
# Every icon is the size of its folder (PNG width and height at bytes 16-23).
for png in "$prefix"/share/icons/hicolor/*/apps/$id.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
  [ "${w}x${h}" = "$size" ] || fail "$png is ${w}x${h}"
done
MANWIDTH=80 man -l "$prefix/share/man/man1/vorelle-cli.1.gz" 2>&1 | grep -q 'VORELLE_BOOK_PASSWORD' || fail "man page does not render"
# The installed command line runs from its new place.
"$prefix/bin/vorelle-cli" --help >"$work/help.txt" 2>&1 || fail "installed vorelle-cli --help fails"
grep -q 'vorelle-cli' "$work/help.txt" || fail "installed vorelle-cli --help says nothing"

# The Debian package: made in a folder of its own, its dependencies from the binaries.
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$work"/deb/*.deb 2>/dev/null | head -1)
if [ -n "$deb" ]; then
  depends=$(dpkg-deb -f "$deb" Depends)
  for package in libqt6widgets6 libsqlcipher0 libodbc qt6-qpa-plugins fonts-noto-cjk; do
    case $depends in *"$package"*) ;; *) fail "package does not depend on $package: $depends" ;; esac
  done
  contents=$(dpkg-deb -c "$deb")
  for path in ./usr/bin/Vorelle ./usr/bin/vorelle-cli ./usr/share/applications/$id.desktop; do
    grep -q " $path\$" <<<"$contents" || fail "package lacks $path"
  done
else
  fail "cpack made no package"
fi

[ "$failures" -eq 0 ] && echo "install checks passed"
exit $((failures > 0))
