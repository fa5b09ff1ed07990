#!/usr/bin/env bash
# Takes the screenshots in docs/screenshots/ from the real program, a few of
# them in English: a private X server, a fresh profile, a prepared tree at a
# fixed place (so that every run shows the same paths), the keyboard and mouse
# driven by xdotool. The scan and run dialogs close as soon as their work ends,
# so the program runs under gdb, which holds the worker thread alone while the
# dialog is photographed. A window is photographed once two pictures of it
# agree.
#
# Usage: scripts/screenshots.sh [PATH-TO-corvelin]     (default: build/corvelin)
# Needs Xvfb, xdotool, ImageMagick and gdb; builds nothing.
set -euo pipefail
exe=${1:-$(dirname "$0")/../build/corvelin}
exe=$(realpath -m "$exe")
cd "$(dirname "$0")/.."
shots=$PWD/docs/screenshots
work=/tmp/corvelin-shots

die() {
    echo "screenshots.sh: $*" >&2
    # What the screen showed, to see why.
    [[ -n ${DISPLAY:-} ]] && import -window root "$work/failure.png"
    exit 1
}

[[ -x $exe ]] || die "no program at $exe (build it first, or give its path)"
for tool in Xvfb xdotool import convert gdb; do
    command -v "$tool" >/dev/null || die "$tool is not installed"
done

rm -rf "$work"
mkdir -p "$work/bin" "$work/home" "$work/run" "$shots"
chmod 700 "$work/run"

# The tree: photos, documents and a film, a few entries the scan must refuse.
tree=$work/アーカイブ
mkdir -p "$tree/写真/2023" "$tree/写真/2024" "$tree/書類"
sizes=(3100 2750 4020 1980 3560 2210)
for i in "${!sizes[@]}"; do
    truncate -s "${sizes[i]}K" "$tree/写真/2023/IMG_$((1001 + i)).jpg"
    truncate -s "$((sizes[i] + 337))K" "$tree/写真/2024/IMG_$((2001 + i)).jpg"
done
truncate -s 310K "$tree/書類/見積書.pdf"
truncate -s 124K "$tree/書類/議事録 2024-03.docx"
truncate -s 18K "$tree/書類/readme.txt"
truncate -s 4650K "$tree/旅行 2024.mp4"
mkfifo "$tree/書類/pipe"
ln -s ../消えたファイル.txt "$tree/書類/古いリンク"
truncate -s 1K "$tree/書類/$(printf 'tab\tname.txt')"
paths=("$tree/写真" "$tree/書類" "$tree/旅行 2024.mp4")

# A copy of the program with an empty profile beside it: the built-in
# settings, never the profile of whoever runs this.
cp "$exe" "$work/bin/corvelin"
# The English texts the build made, where the program looks for them.
cp "$(dirname "$exe")/corvelin_en.qm" "$work/bin/" || die "no corvelin_en.qm beside $exe"
: >"$work/bin/Corvelin.ini"

Xvfb -displayfd 3 -nolisten tcp -screen 0 2400x1600x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
gdb_pid=
cleanup() {
    [[ -n $gdb_pid ]] && kill "$gdb_pid" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT
for ((i = 0; i < 300; i++)); do
    [[ $(wc -l <"$work/display") -ge 1 ]] && break
    kill -0 "$xvfb" 2>/dev/null || die "Xvfb did not start (see $work/xvfb.log)"
    sleep 0.1
done
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
unset LC_ALL
export LANG=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=Fusion QT_FONT_DPI=96
unset WAYLAND_DISPLAY QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
unset DEBUGINFOD_URLS

# The id of a visible window titled $1 that is none of the ids after it.
window() {
    local name=$1 id
    shift
    for ((i = 0; i < 300; i++)); do
        # xdotool's own name search misses titles that are not Latin-1.
        for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
            [[ " $* " != *" $id "* && $(xdotool getwindowname "$id") == "$name" ]] || continue
            echo "$id"
            return
        done
        sleep 0.1
    done
    die "no window \"$name\""
}

# Waits until window $1 is gone.
gone() {
    for ((i = 0; i < 300; i++)); do
        xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    die "window $1 stays"
}

# Photographs window $1 into docs/screenshots/$2 once it has stopped changing.
shoot() {
    local id=$1 name=$2 before=$work/before.ppm now=$work/now.ppm X Y WIDTH HEIGHT
    rm -f "$before"
    for ((i = 0; i < 60; i++)); do
        sleep 0.3
        # From the screen, so that a menu open over the window is in the picture.
        eval "$(xdotool getwindowgeometry --shell "$id" | grep -E "^(X|Y|WIDTH|HEIGHT)=")"
        import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "ppm:$now"
        if [[ -f $before ]] && cmp -s "$before" "$now"; then
            convert "$now" -strip "png:$shots/$name"
            echo "$name"
            return
        fi
        mv "$now" "$before"
    done
    die "window $id does not settle for $name"
}

# Keys to window $1 through the server, as typed.
keys() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id" key --delay 80 "$@"
}

# Starts the program on the tree under gdb. The breakpoints hold the folder
# reading of 写真/2024 and the start of a run, each in its own thread only.
start() {
    rm -f "$work/held"
    rm -f "$work/gdb.in" && mkfifo "$work/gdb.in"
    cat >"$work/gdb.cmd" <<EOF
set pagination off
set confirm off
set debuginfod enabled off
set host-charset UTF-8
set target-charset UTF-8
set non-stop on
set breakpoint pending on
break open64 if \$_regex((char*)\$rdi, ".*/2024\$")
commands
shell touch $work/held
end
break CPackRunner::Run
commands
shell touch $work/held
end
run &
EOF
    gdb -q -nx -x "$work/gdb.cmd" --args "$work/bin/corvelin" "${paths[@]}" \
        <"$work/gdb.in" >"$work/gdb.log" 2>&1 &
    gdb_pid=$!
    exec 5>"$work/gdb.in"
}

# Waits until a breakpoint holds a worker.
held() {
    for ((i = 0; i < 600; i++)); do
        [[ -e $work/held ]] && return
        sleep 0.1
    done
    die "the worker was never held (see $work/gdb.log)"
}

release() {
    rm -f "$work/held"
    echo "continue -a &" >&5
}

stop() {
    printf 'kill\nquit\n' >&5
    exec 5>&-
    wait "$gdb_pid" 2>/dev/null || true
    gdb_pid=
}

# Double-clicks the point $2,$3 of window $1 (window coordinates at 100 %).
double_click() {
    xdotool mousemove --window "$1" "$(($2 * scale))" "$(($3 * scale))" click --repeat 2 1
}

# The list's first row lies at y 90 and the rows are 19 pixels apart; the
# pack-size box is at 210,40.
scale=1
start
main=$(window Corvelin)
scan=$(window "ファイルの追加" "$main")
held
shoot "$scan" AddFilesDlg.png
release
skipped=$(window Corvelin "$main")
shoot "$skipped" SkippedEntriesDlg.png
keys "$skipped" Return
gone "$skipped"

# Open 写真 and 2024, put two photos into a new group and a third into it by
# its number, first trying a number that does not exist.
double_click "$main" 150 90
double_click "$main" 150 128
keys "$main" Down shift+Down ctrl+g Down ctrl+i
assign=$(window "既存のグループに割り当て" "$main")
# The focus on OK while photographed: a blinking text cursor never settles.
keys "$assign" Tab
shoot "$assign" AssignGroup.png
# OK is pressed with Space: Return in the field does nothing once the focus
# has been on a button.
keys "$assign" shift+Tab ctrl+a 9 Tab space
warning=$(window Corvelin "$main" "$assign")
shoot "$warning" GroupNumberWarning.png
keys "$warning" Return
gone "$warning"
keys "$assign" ctrl+a 1 Tab space
gone "$assign"
shoot "$main" list-tree.png
xdotool mousemove 1200 1000
keys "$main" alt+o
shoot "$main" MainFrame.png
keys "$main" Escape

# Run with no pack size, then with 12M.
keys "$main" ctrl+e
error=$(window ERROR "$main")
shoot "$error" PackSizeError.png
keys "$error" Return
gone "$error"
xdotool mousemove --window "$main" 210 40 click 1
keys "$main" ctrl+a 1 2 M ctrl+e
run=$(window "実行" "$main")
held
shoot "$run" PackRunDlg.png
release
gone "$run"
double_click "$main" 150 90
shoot "$main" list-packs.png
stop

# Lets a new start's scan of the tree end and closes its list of refused
# entries; main is the program's window.
scanned() {
    local skipped
    main=$(window Corvelin)
    held
    release
    skipped=$(window Corvelin "$main")
    keys "$skipped" Return
    gone "$skipped"
}

# At 200 %: the list after the scan, 写真 open.
scale=2
QT_SCALE_FACTOR=2 start
scanned
double_click "$main" 150 90
shoot "$main" MainFrame-200.png
stop

# In English: the packs with the File menu open, the writing window and the
# catalog.
scale=1
LANG=C.UTF-8 start
scanned
xdotool mousemove --window "$main" 210 40 click 1
keys "$main" ctrl+a 1 2 M ctrl+e
run=$(window Run "$main")
held
release
gone "$run"
# No to the offer to pack again for the images.
offer=$(window Corvelin "$main")
keys "$offer" Escape
gone "$offer"
xdotool mousemove 1200 1000
keys "$main" alt+f
shoot "$main" MainFrame-en.png
keys "$main" Escape alt+f w
write=$(window "Write to Disc" "$main")
# Off the name field, whose text cursor blinks.
keys "$write" Tab
shoot "$write" WriteDiscDlg-en.png
keys "$write" Escape
gone "$write"
keys "$main" alt+t c
catalog=$(window Catalog "$main")
shoot "$catalog" CatalogDlg-en.png
keys "$catalog" ctrl+Tab
shoot "$catalog" CatalogDlg-sets-en.png
stop
