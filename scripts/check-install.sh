#!/usr/bin/env bash
# Builds a Release with Debian's hardening flags, installs it into a scratch
# prefix, checks the install tree and its desktop files, and builds and checks
# the Debian package. Run by scripts/run-tests.sh after the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS CFLAGS LDFLAGS
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_BENCH=OFF >/dev/null
cmake --build "$build"

prefix=$(mktemp -d /tmp/zentrova-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
missing=0
for f in bin/zentrova bin/zentrova-tool \
  share/zentrova/grp.TVN share/zentrova/wav.TVN share/zentrova/SCR.TVN \
  share/zentrova/bgm/bgm_001.ogg share/zentrova/bgm/bgm_007.ogg \
  share/zentrova/manual/manual.html share/zentrova/res/icon.png \
  share/zentrova/screenshots/title.png share/zentrova/screenshots/stage.png \
  share/applications/example.tavren.Zentrova.desktop share/metainfo/example.tavren.Zentrova.metainfo.xml \
  share/icons/hicolor/48x48/apps/zentrova.png share/icons/hicolor/256x256/apps/zentrova.png \
  share/man/man6/zentrova.6.gz share/man/man1/zentrova-tool.1.gz \
  share/doc/zentrova/copyright share/doc/zentrova/changelog.gz; do
  if [ ! -s "$prefix/$f" ]; then
    echo "install tree: missing $f" >&2
    missing=1
  fi
done
# Nothing a run of the game leaves behind is installed.
if find "$prefix" -name 'rank.sav' -o -name 'debug.txt' -o -name '*.tmp*' | grep -q .; then
  echo "install tree: holds files of a run" >&2
  missing=1
fi
[ "$missing" -eq 0 ]
"$prefix/bin/zentrova" --version >/dev/null
"$prefix/bin/zentrova-tool" --version >/dev/null
desktop-file-validate "$prefix/share/applications/example.tavren.Zentrova.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/example.tavren.Zentrova.metainfo.xml"

(cd "$build" && rm -f zentrova_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build"/zentrova_*.deb)
info=$(dpkg-deb -I "$deb")
grep -q "Depends:.*libsdl2" <<<"$info"
# Errors fail the check; the package is expected to be free of warnings too.
lintian --fail-on error,warning "$deb"
echo "install check: passed ($(basename "$deb"))"
