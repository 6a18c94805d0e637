#!/usr/bin/env bash
# What a user gets from `make install` and `make package`: the installed files, the desktop entry
# and metainfo as the desktop's own validators see them, the manual pages, the Debian package,
# and the installed program started without a display.
# Usage: install_test.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
passed=0 failed=0
check() { # check NAME COMMAND...: one named check, its output shown only when it fails
    if out=$("${@:2}" 2>&1); then passed=$((passed + 1)); echo "PASS $1"
    else failed=$((failed + 1)); echo "FAIL $1"; echo "$out" | sed 's/^/    /'; fi
}
id=example.tavrinsoft.Zelvora
module=lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/zelvora/libzelvora_mime.so
root=$tmp/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

files() {
    local expected=(bin/zelvora $module share/applications/$id.desktop share/metainfo/$id.metainfo.xml
        share/man/man1/zelvora.1.gz share/man/ja/man1/zelvora.1.gz share/lintian/overrides/zelvora
        share/doc/zelvora/{README.md,copyright,changelog.Debian.gz} share/icons/hicolor/scalable/apps/$id.svg
        share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$id.png)
    diff <(printf 'usr/%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f | cut -c3- | sort)
}
check "installed files" files

# Each icon is the size its folder says, with see-through corners: no square tile in docks.
check "icons with transparent corners" /usr/bin/python3 -c 'import sys; from PIL import Image
for n in (16, 22, 24, 32, 48, 64, 128, 256):
    im = Image.open(f"{sys.argv[1]}/{n}x{n}/apps/{sys.argv[2]}.png").convert("RGBA")
    alpha = [im.getpixel((x, y))[3] for x in (0, im.width - 1) for y in (0, im.height - 1)]
    assert im.size == (n, n) and not any(alpha), (n, im.size, alpha)' "$root/usr/share/icons/hicolor" $id

validators() {
    local out
    out=$(desktop-file-validate "$root/usr/share/applications/$id.desktop" 2>&1)
    [[ -z $out ]] || { echo "$out"; return 1; }
    appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$tmp/as" 2>&1 \
        && ! grep '^[EW]:' "$tmp/as" || { cat "$tmp/as"; return 1; }
}
check "desktop entry and metainfo validate" validators

manual() {
    local out page
    for page in C.UTF-8:man/man1 C:man/man1 C.UTF-8:man/ja/man1; do
        out=$(LC_ALL=${page%%:*} MANWIDTH=80 man --warnings -l "$root/usr/share/${page#*:}/zelvora.1.gz" 2>&1 >/dev/null)
        [[ -z $out ]] || { echo "$out"; return 1; }
    done
}
check "manual pages render without warnings" manual

package() {
    cpack --config "$build/CPackConfig.cmake" -B "$tmp/deb" >"$tmp/cpack" 2>&1 || { cat "$tmp/cpack"; return 1; }
    local deb depends contents
    deb=$(echo "$tmp"/deb/zelvora_1.0-*_amd64.deb)
    dpkg-deb -I "$deb" | grep -v "^ new\|^ size\| bytes, "
    [[ $(dpkg-deb -f "$deb" Package) == zelvora && $(dpkg-deb -f "$deb" Section) == mail ]] || return 1
    depends=$(dpkg-deb -f "$deb" Depends)
    [[ $depends == *"fonts-ipafont-gothic | fonts-japanese-gothic"* && $depends == *libqt6widgets6* ]] || return 1
    [[ $(dpkg-deb -f "$deb" Recommends) == *"msmtp-mta | mail-transport-agent"*qt6-wayland* ]] || return 1
    [[ $(dpkg-deb -f "$deb" Suggests) == "fcitx5-frontend-qt6 | ibus" ]] || return 1
    # Only 0755 folders and programs and 0644 files, all root's.
    contents=$(dpkg-deb -c "$deb")
    grep -v '^drwxr-xr-x root/root\|^-rw-r--r-- root/root\|^-rwxr-xr-x root/root' <<<"$contents" && return 1
    [[ $contents == *" ./usr/share/applications/$id.desktop"* ]] || return 1
    dpkg-deb -x "$deb" "$tmp/x" && [[ $(file "$tmp/x/usr/bin/zelvora") == *", stripped"* ]]
}
check "Debian package" package

no_display() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/zelvora" >"$tmp/out" 2>"$tmp/err"
    local status=$?
    cat "$tmp/err"
    [[ $status -eq 1 && ! -s $tmp/out && $(wc -l <"$tmp/err") -eq 1 ]] \
        && grep -q '画面に接続できません.*cannot connect to a display' "$tmp/err"
}
check "no display: one line on standard error, status 1" no_display

# GMime and what it pulls load on the first send, from the program's own module, not at start.
check "program without GMime, module with it" sh -c '! ldd "$1/bin/zelvora" | grep gmime &&
    ldd "$1/$2" | grep -q gmime' sh "$root/usr" $module

echo "install: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
