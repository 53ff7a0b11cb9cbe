#!/usr/bin/env bash
# Builds a Release with Debian's hardening flags, installs it into a scratch
# prefix, checks the install tree and its desktop files, and builds and checks
# the three Debian packages (zentrova, zentrova-data, zentrova-tools) with
# lintian. With ZV_SYSTEM_INSTALL_CHECK=1 (CI, as root) it also installs them
# with apt, starts the game from its desktop entry under Xvfb and checks that
# removing them leaves none of their files. Run by scripts/run-tests.sh after
# the tests; the packages are left in the build folder.
#
#   scripts/check-install.sh [BUILD_DIR]     (default build-release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS CFLAGS LDFLAGS
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_TESTS=OFF -DZV_BUILD_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build"

prefix=$(mktemp -d /tmp/zentrova-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
DESTDIR=$prefix cmake --install "$build" >/dev/null
prefix=$prefix/usr
missing=0
for f in games/zentrova bin/zentrova-tool \
  share/games/zentrova/grp.TVN share/games/zentrova/wav.TVN share/games/zentrova/SCR.TVN \
  share/games/zentrova/bgm/bgm_001.ogg share/games/zentrova/bgm/bgm_007.ogg \
  share/games/zentrova/manual/manual.html share/games/zentrova/res/icon.png \
  share/games/zentrova/screenshots/title.png share/games/zentrova/screenshots/stage.png \
  share/applications/example.tavren.Zentrova.desktop share/metainfo/example.tavren.Zentrova.metainfo.xml \
  share/icons/hicolor/48x48/apps/zentrova.png share/icons/hicolor/256x256/apps/zentrova.png \
  share/man/man6/zentrova.6.gz share/man/man1/zentrova-tool.1.gz \
  share/doc/zentrova/copyright share/doc/zentrova/changelog.gz \
  share/doc/zentrova-data/copyright share/doc/zentrova-tools/copyright; do
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
"$prefix/games/zentrova" --version >/dev/null
"$prefix/bin/zentrova-tool" --version >/dev/null
desktop-file-validate "$prefix/share/applications/example.tavren.Zentrova.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/example.tavren.Zentrova.metainfo.xml"
# The installed game finds its installed data from where it is.
grep -qx '../share/games/zentrova' <<<"$(strings "$prefix/games/zentrova")"

(cd "$build" && rm -f ./*.deb && cpack -G DEB >/dev/null)
game=$(ls "$build"/zentrova_*.deb)
data=$(ls "$build"/zentrova-data_*_all.deb)
tools=$(ls "$build"/zentrova-tools_*.deb)
field() { dpkg-deb -f "$1" "$2"; }
game_files=$(dpkg-deb -c "$game")
data_files=$(dpkg-deb -c "$data")
tools_files=$(dpkg-deb -c "$tools")
fail() { echo "package check: $*" >&2; exit 1; }
[ "$(field "$game" Section)" = games ] || fail "zentrova is not in section games"
depends=$(field "$game" Depends)
grep -q 'libsdl2' <<<"$depends" || fail "zentrova: no shared-library dependencies"
grep -qF 'fonts-ipafont-gothic | fonts-japanese-gothic' <<<"$depends" || fail "zentrova: font dependency"
grep -qF 'zentrova-data (= ' <<<"$depends" || fail "zentrova: no dependency on its data"
[ "$(field "$game" Recommends)" = xdg-utils ] || fail "zentrova: Recommends"
[ -n "$(field "$game" Homepage)" ] || fail "zentrova: no Homepage"
[ "$(field "$data" Architecture)" = all ] || fail "zentrova-data is not Architecture all"
grep -q ' \./usr/games/zentrova$' <<<"$game_files" || fail "zentrova: the game is not in /usr/games"
grep -q 'zentrova-tool' <<<"$game_files" && fail "zentrova: ships the tool"
grep -q ' \./usr/share/games/zentrova/grp\.TVN$' <<<"$data_files" || fail "zentrova-data: data folder"
grep -v '/$' <<<"$data_files" | grep -v ' \./usr/share/\(games/zentrova\|doc/zentrova-data\)/' >/dev/null &&
  fail "zentrova-data: files outside its data folder"
grep -q ' \./usr/bin/zentrova-tool$' <<<"$tools_files" || fail "zentrova-tools: no tool"
# Errors, warnings and pedantic remarks all fail the check.
lintian --pedantic --fail-on error,warning,pedantic "$game" "$data" "$tools"

# On a machine given over to the check (CI sets ZV_SYSTEM_INSTALL_CHECK=1,
# as root), the packages are installed as a player installs them, the game is
# started from its desktop entry, and removal must leave none of their files.
if [ "${ZV_SYSTEM_INSTALL_CHECK:-0}" = 1 ]; then
  [ "$(id -u)" = 0 ] || fail "the system install check needs root"
  dpkg-query -W -f='${Status}' zentrova 2>/dev/null | grep -q installed &&
    fail "zentrova is already installed here; the system install check wants a machine without it"
  apt-get install -y -q "$(realpath "$game")" "$(realpath "$data")" "$(realpath "$tools")" >/dev/null
  [ -x /usr/games/zentrova ] && [ -s /usr/share/games/zentrova/grp.TVN ] || fail "installed files missing"
  player=$(mktemp -d /tmp/zentrova-player-XXXXXX)
  mkdir -m 700 "$player/run"
  exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/example.tavren.Zentrova.desktop)
  (
    # A player's session has the games folder on its PATH; root's has not.
    export HOME=$player XDG_RUNTIME_DIR=$player/run SDL_AUDIODRIVER=dummy PATH=$PATH:/usr/games
    xvfb-run -a -s '-screen 0 800x600x24' sh -c "
      $exec_line & pid=\$!
      for i in \$(seq 60); do
        if xdotool search --class zentrova >/dev/null 2>&1; then break; fi
        sleep 0.5
      done
      xdotool search --class zentrova >/dev/null 2>&1 || { kill \$pid; exit 1; }
      sleep 2; kill -0 \$pid || exit 1
      kill \$pid; wait \$pid 2>/dev/null; exit 0"
  ) || { rm -rf "$player"; fail "the installed game did not open its window from the desktop entry"; }
  rm -rf "$player"
  apt-get purge -y -q zentrova zentrova-data zentrova-tools >/dev/null
  left=0
  for pkg in "$game" "$data" "$tools"; do
    while read -r path; do
      path=${path#.}
      path=${path%/}
      [ -n "$path" ] || continue
      # Shared folders (/usr/games, /usr/share/icons/...) stay; the packages' own go.
      if [ -d "$path" ]; then
        case $path in */zentrova | */zentrova-data | */zentrova-tools) ;; *) continue ;; esac
      fi
      if [ -e "$path" ]; then echo "left after removal: $path" >&2; left=1; fi
    done < <(dpkg-deb --fsys-tarfile "$pkg" | tar -t)
  done
  [ "$left" -eq 0 ] || fail "removal left files behind"
  echo "system install check: installed, started from the desktop entry, removed without a trace"
fi
echo "install check: passed ($(basename "$game") $(basename "$data") $(basename "$tools"))"
