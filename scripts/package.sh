#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB), checks it with lintian, unpacks it
# into a scratch root and starts nimbrel from there under Xvfb, with the web
# engine pointed at a closed local proxy so nothing leaves the machine.
#   scripts/package.sh            # builds in build-package/
#   BUILD_DIR=build scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-package}

scripts/install-deps.sh --test
# What packaging needs beyond building and testing (ip: the loopback-only namespace).
extra=()
for p in appstream dpkg-dev fakeroot file iproute2 lintian; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || extra+=("$p")
done
if [ ${#extra[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${extra[@]}"
fi

configure=()
[ -f "$BUILD_DIR/CMakeCache.txt" ] || configure=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DNIMBREL_TESTS=OFF -DNIMBREL_BENCH=OFF)
cmake -S . -B "$BUILD_DIR" -G Ninja "${configure[@]}" >/dev/null
cmake --build "$BUILD_DIR" --target nimbrel nimbrel_docs
rm -f "$BUILD_DIR"/nimbrel_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
deb=$(ls "$BUILD_DIR"/nimbrel_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends

echo "lintian:"
lintian --fail-on error --display-info "$deb" | tee "$BUILD_DIR/lintian.txt"

# The metainfo must have no error (its one warning: the id is not a reversed
# domain name, for the program has no domain of its own).
echo "appstream:"
appstream=$(appstreamcli validate --no-net packaging/nimbrel.metainfo.xml 2>&1 || true)
echo "$appstream" | tee "$BUILD_DIR/appstream.txt"
if grep -q '^E:' <<<"$appstream"; then echo "the metainfo has errors"; exit 1; fi

# Every dependency must be one Debian can provide.
apt-get install --simulate --no-install-recommends "./$deb" >/dev/null

root=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$root" "$home"' EXIT
dpkg -x "$deb" "$root"
for f in usr/bin/nimbrel usr/lib/nimbrel/nimbrel usr/lib/nimbrel/libnimbrelengine.so \
         usr/share/applications/nimbrel.desktop usr/share/metainfo/nimbrel.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/nimbrel.svg usr/share/man/man1/nimbrel.1.gz \
         usr/share/doc/nimbrel/copyright usr/lib/nimbrel/GoUP@2x.BMP; do
  [ -e "$root/$f" ] || { echo "missing from the package: /$f"; exit 1; }
done
if file -L "$root/usr/lib/nimbrel/nimbrel" | grep -q "not stripped"; then echo "program not stripped"; exit 1; fi

# Start it from the unpacked package, in a network namespace of its own with
# only loopback, enter from its splash window and take a picture of the main
# window.
cat >"$home/run.sh" <<'RUN'
#!/usr/bin/env bash
set -u
export HOME="$1" XDG_DATA_HOME="$1/data" XDG_CACHE_HOME="$1/cache" XDG_CONFIG_HOME="$1/config"
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-background-networking --disable-component-update --no-first-run --proxy-server=http://127.0.0.1:9"
"$2/usr/bin/nimbrel" >"$1/log" 2>&1 &
pid=$!
window() {  # the program's visible window whose title matches $1
  local w
  for w in $(xdotool search --onlyvisible --classname '^nimbrel$' 2>/dev/null); do
    [[ "$(xdotool getwindowname "$w" 2>/dev/null)" =~ $1 ]] && { echo "$w"; return 0; }
  done
  return 1
}
fail() { echo "nimbrel from the package: $1"; cat "$HOME/log" 2>/dev/null; kill "$pid" 2>/dev/null; exit 1; }
for _ in $(seq 1 200); do
  splash=$(window '^$') && break
  kill -0 "$pid" 2>/dev/null || fail "ended before it showed a window"
  sleep 0.1
done
[ -n "${splash:-}" ] || fail "showed no splash window"
sleep 1
import -window root "$1/splash.png" 2>/dev/null || true
xdotool mousemove --window "$splash" 20 20 click 1
for _ in $(seq 1 300); do
  main=$(window '^Nimbrel - .') && break
  sleep 0.1
done
[ -n "${main:-}" ] || fail "showed no main window after a click on its splash"
sleep 3
import -window root "$1/main.png" 2>/dev/null || true
echo "nimbrel from the package entered its main window: $(xdotool getwindowname "$main")"
kill "$pid"; wait "$pid" 2>/dev/null
exit 0
RUN
run='xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0/run.sh" "$0" "$1"'
if [ "$(id -u)" -eq 0 ]; then
  unshare -n bash -c "ip link set lo up && $run" "$home" "$root"
else
  # (Only root may make the namespace; the closed proxy still keeps pages local.)
  bash -c "$run" "$home" "$root"
fi
for f in splash main; do
  [ -f "$home/$f.png" ] && cp "$home/$f.png" "$BUILD_DIR/package-$f.png"
done
echo "package ok: $deb"
