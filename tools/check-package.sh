#!/usr/bin/env bash
# Checks the package `make package` built: installs it with dpkg, checks what it put in /usr and
# that `keyrack --version` answers without a display, runs lintian (errors fail), then removes it
# and checks that none of its files is left. Needs root. Leaves the machine without Keyrack, also
# when a check fails; refuses to start when a Keyrack package is installed already.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
    echo "check-package: $*" >&2
    exit 1
}

shopt -s nullglob
debs=(keyrack_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one keyrack_*.deb here (make package), found ${#debs[@]}"
deb=${debs[0]}
[ "$(id -u)" = 0 ] || fail "dpkg -i needs root"

version=$(sed -n 's/^project(Keyrack VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "$deb is not version $version"
# The dependencies come from dpkg-shlibdeps; without them the package would install anywhere.
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || fail "no Qt in Depends"

if dpkg-query -W -f='${db:Status-Status}' keyrack 2>/dev/null | grep -qv not-installed; then
    fail "a keyrack package is installed already; remove it first"
fi
trap 'dpkg -r keyrack >/dev/null 2>&1 || true' EXIT

dpkg -i "$deb" >/dev/null
# Installing over the installed package, as an upgrade does.
dpkg -i "$deb" >/dev/null
mapfile -t installed < <(dpkg -L keyrack | while read -r path; do
    [ -d "$path" ] || echo "$path"
done)

id=io.github.keyrack.Keyrack
for file in /usr/bin/keyrack /usr/share/keyrack/lang.ini /usr/share/applications/$id.desktop \
    /usr/share/metainfo/$id.metainfo.xml /usr/share/icons/hicolor/scalable/apps/keyrack.svg \
    /usr/share/icons/hicolor/64x64/apps/keyrack.png \
    /usr/share/icons/hicolor/128x128/apps/keyrack.png \
    /usr/share/man/man1/keyrack.1.gz /usr/share/doc/keyrack/copyright \
    /usr/share/doc/keyrack/changelog.gz; do
    [ -f "$file" ] || fail "not installed: $file"
done
[ "$(command -v keyrack)" = /usr/bin/keyrack ] || fail "keyrack is not /usr/bin/keyrack on the PATH"
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM keyrack --version) ||
    fail "keyrack --version failed"
[ "$answer" = "keyrack $version" ] || fail "keyrack --version printed: $answer"
grep -qx 'Exec="/usr/bin/keyrack"' /usr/share/applications/$id.desktop || fail "menu entry's Exec"
desktop-file-validate /usr/share/applications/$id.desktop
appstreamcli validate --no-net /usr/share/metainfo/$id.metainfo.xml >/dev/null
lintian --fail-on error "$deb" || fail "lintian reports errors"

dpkg -r keyrack >/dev/null
trap - EXIT
for file in "${installed[@]}"; do
    [ ! -e "$file" ] || fail "left after dpkg -r: $file"
done
echo "check-package: $deb installs, answers --version, passes lintian and removes cleanly"
