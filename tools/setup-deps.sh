#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zelvora need.
# Silent when everything is already there; uses apt-get as root, sudo otherwise.
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config qt6-base-dev libgmime-3.0-dev libbenchmark-dev clang-format
    # fonts: IPAPGothic has the metrics the window layout was drawn for; Nimbus Sans Narrow
    # stands in for the splash notice's light condensed face, so the notice fits its box
    fonts-ipafont-gothic fonts-urw-base35
    # the toolkit's own texts (a text box's context menu) in Japanese
    qt6-translations-l10n
    # desktop integration: mail client and browser hand-off, accessories
    xdg-utils x11-apps
    # a sendmail-compatible transport, and what the tests start
    msmtp xvfb x11-utils xdotool python3 python3-aiosmtpd
    # regenerating the pictures in resources/
    imagemagick python3-pil
    fonts-dejavu-core
)

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
