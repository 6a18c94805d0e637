#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zelvora need.
# Silent when everything is already there; uses apt-get as root, sudo otherwise.
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config qt6-base-dev libxcb1-dev libgmime-3.0-dev libbenchmark-dev clang-format
    # character names in the document box's tooltips
    libicu-dev
    # fonts: IPAPGothic has the metrics the window layout was drawn for; Nimbus Sans Narrow
    # stands in for the splash notice's light condensed face, so the notice fits its box
    fonts-ipafont-gothic fonts-urw-base35
    # the toolkit's own texts (a text box's context menu) in Japanese
    qt6-translations-l10n
    # desktop integration: mail client and browser hand-off, accessories
    xdg-utils x11-apps
    # a sendmail-compatible transport, and what the tests start
    msmtp xvfb xauth x11-utils xdotool python3 python3-aiosmtpd dbus-daemon
    # Qt's own texts in Japanese (qtbase_ja.qm: standard buttons, the font dialog)
    qt6-translations-l10n
    # regenerating the pictures in resources/
    imagemagick python3-pil
    fonts-dejavu-core
    # the Debian package (CPack reads the libraries' dependencies with dpkg-shlibdeps and finds
    # the programs with file) and the checks of what is installed: desktop entry, software
    # centre description, manual pages
    dpkg-dev file desktop-file-utils appstream man-db
)

# msmtp-mta makes msmtp the system's sendmail command, which Zelvora sends through. It conflicts
# with every other mail transport (installing it removes postfix, exim4 or nullmailer), so it is
# added only where there is no sendmail yet: a transport the user already has stays.
if [[ ! -e /usr/sbin/sendmail && ! -L /usr/sbin/sendmail ]]; then
    packages+=(msmtp-mta)
fi

# `make fuzz` only: clang with libFuzzer and the sanitizers' run-time.
if [[ ${1:-} == fuzz ]]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    [[ $p == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
# sudo resets the environment: the frontend goes through env, so no package stops to ask.
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
