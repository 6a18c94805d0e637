#!/usr/bin/env bash
# Takes docs/screenshot.png: the real program on an X server of its own (Xvfb), a sample issue
# typed in through the keyboard as a user would, assembled with 作成文書の表示 and pictured with
# ImageMagick. Needs xvfb, xauth, xdotool, imagemagick and fonts-ipafont-gothic.
# Usage: tools/make-screenshot.sh BUILD_DIR [OUTPUT]   (the default output is docs/screenshot.png)
set -euo pipefail
here=$(dirname "$(realpath "$0")")
program=$(realpath "$1")/zelvora
output=$(realpath -m "${2:-$here/../docs/screenshot.png}")

if [[ -z ${ZELVORA_SCREENSHOT_DISPLAY:-} ]]; then # start again inside an X server of its own
    exec env ZELVORA_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        "$0" "$@"
fi

# The desktop's own scheme, input method and settings stay out of the picture.
export LANG=ja_JP.UTF-8 XDG_CONFIG_HOME=$(mktemp -d) QT_IM_MODULE= QT_QPA_PLATFORMTHEME=
trap 'rm -rf "$XDG_CONFIG_HOME"; kill "$pid" 2>/dev/null' EXIT
"$program" & pid=$!
window=$(xdotool search --sync --name '^Zelvora   Ver')
sleep 1 # the first paint after the window is mapped

xdotool windowfocus --sync "$window"
key() { xdotool key --delay 30 "$@"; }
type() { LC_ALL=C.UTF-8 xdotool type --delay 150 -- "$1"; }
tab() { key --repeat "${1:-1}" Tab; }

# From the decoration list (the focus starts in the first field): ♪ before and after the subtitle.
tab; key --repeat 8 Down; tab; key space              # List1, 始めに入力
tab; type '季節の手しごと通信'; tab; tab; key space    # Text2, Text3, 終わりに入力
tab 3; key End; type ' https://www.tavrinsoft.example/' # Text4
tab; key End; type ' hanako@tavrinsoft.example'        # Text5
tab 2                                                  # Text6 stays for 入力支援, Text7: the body
for line in 'こんにちは、花子です。' '' '今月は、冬の窓辺に飾る小さなリースを作りました。' \
    '材料は、庭のローズマリーと松ぼっくり、麻ひもだけです。' \
    '作り方の写真はホームページに載せています。' '' '寒い日が続きます。どうぞ暖かくしてお過ごしください。'; do
    type "$line"; key Return
done
tab 5; key End; type 'はなこ'                          # Text11: the signature
tab; type '"季節の手しごと通信"１２月号'               # Combo1
key --repeat 2 shift+Tab; key space                    # 入力支援: the date and the issue line
tab 3; key Down                                        # Combo2: the first closing line
key --repeat 12 shift+Tab; key space                   # 作成文書の表示
sleep 1
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "$output"
