#!/usr/bin/env bash
# Cross-builds the game, its tool and the tests for 32-bit Windows
# (build-win32/, the "windows" preset), runs the tests under Wine, and plays
# the whole game headless with zentrova-tool.exe, comparing the script trace
# and the state summary with the same play-through by this machine's own
# build, and the frame hashes of every frame that shows no glyph (the glyphs come from each
# system's own rasterizer). The sound is compared too, but its difference
# does not count (stb_vorbis decodes the music there, libvorbis here); the
# music's two decodings are compared sample by sample at the end. Then
# a windowed smoke test under Wine and Xvfb, and the player's zip and
# installer (scripts/build-windows.sh) installed, started and removed under
# Wine. The data comes from the native build (made there when missing).
# Exits 0 when all of it passes.
#
# A machine whose kernel runs no 32-bit x86 programs (IA-32 emulation off,
# as on some virtual machines) cannot start the 32-bit Wine. There the
# 32-bit game and tool are only compiled and checked as such, and the
# tests, the game, the play-through and the music run in the 64-bit build
# (build-win64/, the "windows64" preset) under the 64-bit Wine; the
# player's zip and installer are built but not installed (the installer
# is a 32-bit program). The stage says which it did.
#
#   scripts/test-windows.sh [--native DIR] [--routes "0 1"] [--no-tests]
#
# DIR is the native build (default build); the routes are those of
# scripts/playthrough-hashes.sh (default: route 0, one whole play-through).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
native=build
routes=0
tests=1
while [ $# -gt 0 ]; do
  case $1 in
    --native) native=$2; shift 2 ;;
    --routes) routes=$2; shift 2 ;;
    --no-tests) tests=0; shift ;;
    -h | --help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "usage: $0 [--native DIR] [--routes \"0 1\"] [--no-tests]" >&2; exit 2 ;;
  esac
done
scripts/install-deps.sh --windows
jobs=$(nproc)
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine=wine preset=windows image='PE32 executable.*Intel 80386' runs32=1
else
  wine=/usr/lib/wine/wine64 preset=windows64 image='PE32\+ executable.*x86-64' runs32=0
  echo "windows: this machine runs no 32-bit x86 programs: the 32-bit build is compiled only;" \
    "the tests, the game and the play-through run in the 64-bit build under 64-bit Wine"
fi
build=$root/build-win32
[ $preset = windows64 ] && build=$root/build-win64

# The native data and tool.
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$native" -j "$jobs" --target zentrova-data zentrova-tool

# Wine in a prefix of its own, no sound card, no desktop needed.
wine_home=$(mktemp -d /tmp/zentrova-wine-XXXXXX)
out=$(mktemp -d /tmp/zentrova-win32-XXXXXX)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$wine_home" "$out"' EXIT
export WINEPREFIX=$wine_home/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export HOME=$wine_home
printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
unset DISPLAY
"$wine" wineboot -i >/dev/null 2>&1
# A fresh prefix has no Japanese UI face, so the menu bar, the message boxes
# and the dialogs would show boxes (a Japanese Windows has its own gothic):
# the system's UI faces resolve to the gothic the Linux build writes in.
# A .reg file of version 5 is UTF-16, which the dialogs' face name needs.
{
  printf '\xff\xfe'
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"MS Shell Dlg"="IPAGothic"' '"MS Shell Dlg 2"="IPAGothic"' '"Tahoma"="IPAGothic"' \
    '"MS UI Gothic"="IPAGothic"' '"ＭＳ Ｐゴシック"="IPAPGothic"' | iconv -f UTF-8 -t UTF-16LE
} >"$wine_home/ui-fonts.reg"
"$wine" regedit /S "Z:${wine_home//\//\\}\\ui-fonts.reg"
wineserver -w

if [ $runs32 = 0 ]; then
  # The 32-bit program the player gets still compiles, warning-free.
  cmake --preset windows >/dev/null
  cmake --build "$root/build-win32" -j "$jobs" --target zentrova zentrova-tool
  file -b "$root/build-win32/zentrova-tool.exe" | grep -q 'PE32 executable.*Intel 80386'
fi
cmake --preset $preset >/dev/null
targets=(zentrova zentrova-tool)
[ $tests = 1 ] && targets=(all)
cmake --build "$build" -j "$jobs" --target "${targets[@]}"
file -b "$build/zentrova-tool.exe" | grep -Eq "$image"

if [ $tests = 1 ]; then
  # Each test's Wine starts a wine server that ends a moment after the
  # test, and the next test can connect just as it goes ("recvmsg:
  # Connection reset by peer") and die at start. (A server kept for the
  # whole run would keep Wine's service processes, and with them the
  # output pipes of the tests' listing, open.) So a failed test is run once
  # more, and fails the stage when it fails again.
  ctest --test-dir "$build" --output-on-failure -j "$jobs" --repeat until-pass:2
fi

# The game under Wine on a virtual X display of its own: game_start EXE HOME
# [VAR=VALUE...] starts it (its debugger output in $out/stderr) and waits for
# its window ($win on $display); game_quit opens the first menu of the menu
# bar with F10, takes its last item (終了), answers the quit message box with
# Enter (Yes) and gives the exit code.
game_start() {
  local exe=$1 home=$2
  shift 2
  # Wine's session keeps the X display it started on: a new display wants a
  # new session, or the window goes to the display of the one before.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -f "$out/exit" "$out/display" "$out/stderr"
  Xvfb -displayfd 5 -screen 0 1024x768x24 5>"$out/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$out/display" ] && break; sleep 0.2; done
  display=:$(cat "$out/display")
  (cd "$out" && env DISPLAY="$display" HOME="$home" ZENTROVA_DEBUG_OUTPUT=1 "$@" timeout 120 \
    "$wine" "$exe" >/dev/null 2>"$out/stderr"; echo $? >"$out/exit") &
  win=$(DISPLAY=$display timeout 60 xdotool search --sync --name '^Zentrova$' | head -1)
}
game_quit() {
  DISPLAY=$display xdotool windowfocus --sync "$win" key --delay 400 F10 Return Up Return
  sleep 2
  DISPLAY=$display xdotool key Return
  for _ in $(seq 60); do [ -s "$out/exit" ] && break; sleep 0.5; done
  kill "$xvfb" 2>/dev/null || true
  cat "$out/exit" 2>/dev/null || echo none
}
# Answers the message box captioned $1 when it comes within 30 s.
answer_box() {
  local box
  box=$(DISPLAY=$display timeout 30 xdotool search --sync --name "^$1\$" | head -1)
  [ -n "$box" ] && DISPLAY=$display xdotool windowfocus --sync "$box" key Return
}

# The windowed smoke test: the window, the title, the quit through the menu
# bar with exit code 0. Started from another folder: the game finds its data
# beside itself. The sound goes to ALSA's null device: DirectSound must open
# and its notifications keep the mixer's chunks coming. With "nodevice"
# there is no ALSA device at all: the game says so in a message box
# (answered), then goes on silent to the title.
smoke() {
  local exe=$1 what=$2 nodevice=${3:-} status home=$HOME sound
  if [ -n "$nodevice" ]; then
    home=$wine_home/no-sound-card
    mkdir -p "$home"
  fi
  game_start "$exe" "$home"
  if [ -n "$nodevice" ] && ! answer_box 警告; then
    echo "windows: no message box without a sound device"
    kill "$xvfb"
    return 1
  fi
  sleep 8  # the logo, then the title
  status=$(game_quit)
  echo "windows: $what under Wine and Xvfb: exit code $status"
  [ "$status" = 0 ] || return 1
  # "DirectSound: N chunks refilled in T ms, S with sound" when the device closes.
  sound=$(grep -a '^DirectSound: [0-9]* chunks' "$out/stderr" || true)
  if [ -n "$nodevice" ]; then
    [ -z "$sound" ] || { echo "windows: sound opened without a device: $sound"; return 1; }
    grep -aq '^MessageBox 警告: DirectSoundの初期化に失敗しました。' "$out/stderr"
  else
    echo "windows: ${sound:-DirectSound did not open}"
    [[ $sound =~ ^DirectSound:\ ([0-9]+)\ chunks.*,\ ([0-9]+)\ with ]] &&
      [ "${BASH_REMATCH[1]}" -gt 100 ] && [ "${BASH_REMATCH[2]}" -gt 0 ]
  fi
}

# The real mode change failing (display_switch 1): the system's answers to
# the requests stand in for by ZENTROVA_DISPLAY_CHANGE_RESULTS, each code
# twice (the request at 24 or 32 bits, then the retry at the current depth).
# Each full-screen command shows that code's message; the game stays on the
# scaled full screen and goes back to its window with the window command.
mode_failures() {
  local codes="1 -1 -2 -3 -4 -5" answers="" code status
  for code in $codes; do answers+="$code,$code,"; done
  "$wine" reg add 'HKCU\SoftWare\TAVREN\Zentrova\config' /v display_switch /t REG_DWORD /d 1 /f >/dev/null 2>&1
  game_start "$game/zentrova.exe" "$HOME" ZENTROVA_DISPLAY_CHANGE_RESULTS="$answers"
  sleep 6
  for code in $codes; do
    DISPLAY=$display xdotool windowfocus --sync "$win" key --delay 300 F10 Down Return
    answer_box 警告 || { echo "windows: no message for the mode change's result $code"; break; }
    sleep 0.5
    DISPLAY=$display xdotool windowfocus --sync "$win" key --delay 300 F10 Down Down Return
    sleep 0.5
  done
  status=$(game_quit)
  "$wine" reg delete 'HKCU\SoftWare\TAVREN\Zentrova\config' /v display_switch /f >/dev/null 2>&1
  # The program's standard error ends its lines with CR LF.
  tr -d '\r' <"$out/stderr" | grep -a '^MessageBox 警告: 画面モード' >"$out/mode-messages" || true
  sed 's/^MessageBox 警告: /windows: /' "$out/mode-messages"
  [ "$status" = 0 ] && diff "$out/mode-messages" <(
    printf 'MessageBox 警告: %s\n' "画面モード変更時、再起動必要" \
      "画面モード変更失敗(ドライバがそのモード変更をサーポートしていません)" \
      "画面モード変更失敗(そのモードは存在しません)" "画面モード変更失敗(よーわからん、NT用？)" \
      "画面モード変更失敗(フラグミス)" "画面モード変更失敗(原因不明・・・・)")
}

game=$out/game
cp -r "$native/data" "$game"
cp "$build/zentrova.exe" "$game/"
smoke "$game/zentrova.exe" "smoke test"
start=$(date +%s)
smoke "$game/zentrova.exe" "the game without a sound device" nodevice
echo "windows: the no-device check took $(($(date +%s) - start)) s"
start=$(date +%s)
mode_failures || { echo "windows: the mode change's failure messages are not as they should be"; exit 1; }
echo "windows: the six mode-change failures shown in $(($(date +%s) - start)) s"

# The player's packages: the zip and the per-user installer built, the
# installer run silently, the installed game started from where it went,
# and the silent uninstaller leaving neither files nor shortcuts.
install_check() {
  local start setup programs menu
  start=$(date +%s)
  scripts/build-windows.sh --native "$native" >/dev/null
  setup=$(ls out/zentrova-*-setup.exe)
  ls out/zentrova-*-win32.zip >/dev/null
  if [ $runs32 = 0 ]; then
    echo "windows: zip and installer built in $(($(date +%s) - start)) s; the installer is a 32-bit" \
      "program, which this machine cannot run"
    return 0
  fi
  "$wine" "$setup" /S
  programs=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/Zentrova
  menu=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Zentrova' -type d | head -1)
  for f in zentrova.exe zentrova-tool.exe uninstall.exe grp.TVN wav.TVN SCR.TVN bgm/bgm_001.ogg; do
    [ -s "$programs/$f" ] || { echo "windows: the installer left out $f"; return 1; }
  done
  [ -n "$menu" ] && [ -f "$menu/Zentrova.lnk" ] || { echo "windows: no Start-menu entry"; return 1; }
  smoke "$programs/zentrova.exe" "the installed game"
  "$wine" "$programs/uninstall.exe" /S
  # The uninstaller goes on from a copy of itself after the call returns.
  for _ in $(seq 60); do [ ! -e "$programs" ] && [ ! -e "$menu" ] && break; sleep 0.5; done
  if [ -e "$programs" ] || [ -e "$menu" ]; then
    echo "windows: the uninstaller left $( [ -e "$programs" ] && echo "$programs" ) $( [ -e "$menu" ] && echo "$menu" )"
    return 1
  fi
  echo "windows: installer built, installed, started and removed in $(($(date +%s) - start)) s"
}
install_check

# The play-through, here and under Wine, compared: the script trace, the
# frames without glyphs and the state summary must be the same. The state's
# log names the widest pixel loops, which the 32-bit build has fewer of, and
# says whether a music worker ending woke to the request or first to its
# buffer's stop notification ("StreamStop3"), which the threads' timing decides.
ZV_ROUTES=$routes scripts/playthrough-hashes.sh --build "$native" "$out/native" >/dev/null
ZV_ROUTES=$routes ZV_EMULATOR=$wine \
  scripts/playthrough-hashes.sh --build "$native" --tool "$build/zentrova-tool.exe" "$out/win32" \
  --compare "$out/native" --glyph-free --audio-apart
for route in $routes; do
  for side in native win32; do
    sed 's/"pixel loops: [^"]*", //; s/StreamStop3//g' "$out/$side/state$route.json" >"$out/$side/state$route.cmp"
  done
  if ! cmp -s "$out/native/state$route.cmp" "$out/win32/state$route.cmp"; then
    echo "windows: the state after route $route differs from this build's:"
    diff "$out/native/state$route.cmp" "$out/win32/state$route.cmp" | cut -c1-160 | head -6
    exit 1
  fi
done
echo "windows: the play-through's trace, state and glyph-free frames match this build's"

# The music as each build decodes it (stb_vorbis there, libvorbis here), fed
# in the music stream's pieces: the same length, and no sample more than one
# step apart (the two decoders' float rounding).
for ogg in "$native"/data/bgm/*.ogg; do
  name=$(basename "$ogg" .ogg)
  cp "$ogg" "$out/$name.ogg"
  "$native/zentrova-tool" sound music "$ogg" "$out/$name.native.wav" >/dev/null
  (cd "$out" && "$wine" "$build/zentrova-tool.exe" sound music "$name.ogg" "$name.win32.wav" >/dev/null)
  printf 'windows: %s decoded here and there: ' "$name"
  "$native/zentrova-tool" sound compare "$out/$name.native.wav" "$out/$name.win32.wav" --max 1
  rm -f "$out/$name.ogg" "$out/$name.native.wav" "$out/$name.win32.wav"
done
