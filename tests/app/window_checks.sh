#!/usr/bin/env bash
# Drives the real culvex window under a virtual X server with xdotool, the way a user
# would, and checks what it can see:
#   1. "Load Sample/Example Files" (answered No), separator "Comma", "Extract Columns From
#      File(s)"; the results list fills; screenshot 1-extracted.png.
#   2. "Save Results As Text File" through the real save dialog: the file holds CR LF lines,
#      the header "Results" padded to the column width, each line ending in a tab.
#   3. Dragging the second file-list entry to the end with the mouse reorders the list: extracting
#      again gives the results in the new file order; screenshots 2-before-drag.png and
#      3-after-drag.png.
#   4. "Add CSV File(s)" opens the file dialog titled "Add File(s) - Hold Ctrl to select
#      multiple files"; Escape closes it without adding anything; screenshot 5-add-files.png.
#   5. "Help" shows its message box captioned "Culvexa"; screenshot 4-help.png.
#   6. A UTF-8 file "café;naïve;日本" added through "Add CSV File(s)", extracted with
#      "Others:" ";" and copied with "Copy Results To Clipboard": the clipboard reads back
#      exactly those three rows; screenshot 6-utf8.png.
#   7. Names typed in the add-files dialog from two folders are each added from their own
#      folder (extracting finds both files' rows); a typed pattern "*.txt" filters the
#      listing and leaves the dialog open.
#   8. The folder scan's input box shows its hint below a blank line: the prompt's label
#      is three lines high; screenshot 7-extension.png.
#   9. An extraction of several seconds in any build shows "Culvex Progress" (screenshot 8-progress.png); a click on
#      its Stop ends the run with a message (9-stopped.png, "Stopped after N rows.") and
#      part of the rows in the results list.
#  10. F6 opens "Culvex Preview", which follows the file list's selection; its first "Use"
#      selects and stores the separator that fits the selected file; Escape closes it, and
#      its moved place is stored (10-preview.png).
# Usage: xvfb-run -a -s "-screen 0 1280x800x24" window_checks.sh CULVEX OUTPUT_FOLDER CLIPBOARD_TEXT
#        CULVEX_EXTRACT
# (CLIPBOARD_TEXT prints the clipboard's text as UTF-8; CULVEX_EXTRACT, of the same build,
# times the large extraction.)
set -euo pipefail
program=$1
out=$2
clipboard_text=$3
extract_program=$4
mkdir -p "$out"

config=$(mktemp -d)
trap 'rm -rf "$config"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT
XDG_CONFIG_HOME=$config XDG_RUNTIME_DIR=$config QT_QPA_PLATFORM=xcb "$program" &
pid=$!

fail() {
    echo "FAIL: $*"
    import -window root "$out/failure.png" || true
    exit 1
}

# Waits for a window whose caption matches the pattern and prints its id.
await_window() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

await_gone() {
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

# Clicks a point of the main window, in its client coordinates (pixels).
click_at() {
    xdotool mousemove --window "$main" "$1" "$2" click 1
    sleep 0.3
}

# Gives a dialog the keyboard and presses one key in it.
key_in() {
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key --clearmodifiers "$2"
}

# Answers the next plain message box ("Culvexa") with a key.
answer_message() {
    local box
    box=$(await_window '^Culvexa$') || fail "no message box appeared ($2)"
    sleep 0.2
    key_in "$box" "$1"
    await_gone '^Culvexa$' || fail "message box stayed open ($2)"
}

# Control centres in client pixels (the designed layout in twips divided by 15).
load_samples=(400 186)   # PushButton11
comma=(572 79)           # Option9
extract=(796 170)        # PushButton7
clear_results=(664 371)  # PushButton9
save_text=(664 303)      # PushButton6
add_files=(136 152)      # PushButton1
help=(928 371)           # PushButton10
others=(572 126)         # Option11
text5=(744 127)          # Text5
copy_results=(928 337)   # PushButton8
clear_list=(136 186)     # PushButton3
scan_folder=(400 152)    # PushButton4

# Types text into the dialog whose caption matches and presses Return; leaves the dialog's
# window id in `dialog`.
type_into() {
    dialog=$(await_window "$1") || fail "no dialog captioned $1"
    sleep 0.5
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    xdotool type --delay 20 "$2"
    xdotool key Return
}

# Types a path into the file dialog whose caption matches and confirms it with Return.
enter_path() {
    type_into "$1" "$2"
    await_gone "$1" || fail "dialog $1 stayed open"
}

# Saves the results through the real save dialog into the given file.
save_results() {
    click_at "${save_text[@]}"
    enter_path '^Save$' "$1"
    for _ in $(seq 50); do
        [ -s "$1" ] && break
        sleep 0.1
    done
    [ -s "$1" ] || fail "nothing saved to $1"
    sleep 0.3
}

extract_all() {
    click_at "${extract[@]}"
    answer_message Return "Done."
}

main=$(await_window '^Culvex$') || fail "no window captioned Culvex appeared"
sleep 0.5

# 1. Samples, comma, extract.
click_at "${load_samples[@]}"
answer_message Escape "open the samples folder?"
click_at "${comma[@]}"
extract_all
import -window root "$out/1-extracted.png"

# 2. The spaced text file, written through the real save dialog.
first="$out/results-first.txt"
rm -f "$first"
save_results "$first"
head -c 200 "$first" | od -c | head -n 4
python3 - "$first" <<'PY' || fail "spaced text file is malformed"
import sys
data = open(sys.argv[1], "rb").read()
assert data.endswith(b"\r\n"), "last line does not end in CR LF"
lines = data[:-2].split(b"\r\n")
assert b"\n" not in b"".join(lines), "bare LF inside the file"
width = len(lines[0]) - 1
assert lines[0] == b"Results".ljust(width) + b"\t", lines[0]
assert all(len(line) == width + 1 and line.endswith(b"\t") for line in lines), "ragged line"
print(f"spaced file: {len(lines) - 1} rows, column width {width}")
PY

# 3. Drag the second file-list entry (orders-comma.csv; the samples list by name) down to
#    the end of the list.
import -window root "$out/2-before-drag.png"
row_y() { echo $((8 + header + rowheight * $1 + rowheight / 2)); }
# The list's column header and row heights in pixels, as the window draws them.
header=24
rowheight=18
xdotool mousemove --window "$main" 100 "$(row_y 1)" click 1
# Wait out the double-click interval: a second press at once would be a double-click,
# which removes the entry.
sleep 1
xdotool mousedown 1
for row in 2 3 4; do
    for step in 1 2 3 4; do
        xdotool mousemove --window "$main" 100 $(($(row_y $((row - 1))) + step * rowheight / 4))
        sleep 0.05
    done
done
xdotool mouseup 1
sleep 0.3
import -window root "$out/3-after-drag.png"
click_at "${clear_results[@]}"
extract_all
second="$out/results-second.txt"
rm -f "$second"
save_results "$second"
python3 - "$first" "$second" <<'PY' || fail "dragging did not reorder the file list"
import sys
first, second = (open(p, "rb").read().split(b"\r\n") for p in sys.argv[1:])
assert sorted(first) == sorted(second), "extracting again gave other rows"
assert first != second, "the results came out in the same order"
print("drag reordered the file list")
PY

# 4. The add-files dialog.
click_at "${add_files[@]}"
dialog=$(await_window '^Add File\(s\) - Hold Ctrl to select multiple files$') ||
    fail "no add-files dialog with the expected title"
sleep 0.5
import -window root "$out/5-add-files.png"
key_in "$dialog" Escape
await_gone '^Add File' || fail "add-files dialog stayed open"
echo "add-files dialog: titled as expected, closed by Escape"

# 5. Help.
click_at "${help[@]}"
await_window '^Culvexa$' >/dev/null || fail "no help message"
sleep 0.5
import -window root "$out/4-help.png"
answer_message Return "help"

# 6. A UTF-8 file alone in the list, "Others:" ";", extracted and copied.
utf8_file="$out/utf8.csv"
printf 'caf\xc3\xa9;na\xc3\xafve;\xe6\x97\xa5\xe6\x9c\xac\n' >"$utf8_file"
click_at "${clear_list[@]}"
click_at "${clear_results[@]}"
click_at "${add_files[@]}"
enter_path '^Add File' "$utf8_file"
# The first click after a dialog closes can be taken by the window's activation, so the
# option is clicked twice (a second click on a selected option changes nothing).
sleep 0.5
click_at "${others[@]}"
click_at "${others[@]}"
click_at "${text5[@]}"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 ';'
extract_all
import -window root "$out/6-utf8.png"
click_at "${copy_results[@]}"
answer_message Return "copied"
QT_QPA_PLATFORM=xcb "$clipboard_text" >"$out/clipboard.txt" || fail "the clipboard could not be read"
printf 'caf\xc3\xa9\r\nna\xc3\xafve\r\n\xe6\x97\xa5\xe6\x9c\xac\r\n' >"$out/expected.txt"
cmp "$out/clipboard.txt" "$out/expected.txt" || fail "the clipboard holds other text than the UTF-8 rows"
echo "UTF-8 file: shown, extracted and copied exactly"

# 7. Typed names from two folders, then a typed pattern.
typed=$(mktemp -d)
mkdir -p "$typed/B"
printf 'top1;top2\r\n' >"$typed/top.csv"
printf 'bee1;bee2\r\n' >"$typed/B/b.csv"
click_at "${add_files[@]}"
enter_path '^Add File' "\"$typed/top.csv\" \"$typed/B/b.csv\""
click_at "${clear_results[@]}"
extract_all
third="$out/results-typed.txt"
rm -f "$third"
save_results "$third"
grep -q 'top1' "$third" && grep -q 'bee1' "$third" ||
    fail "typed names from two folders were not both added"
echo "typed names from two folders: each added from its own folder"

click_at "${add_files[@]}"
type_into '^Add File' "*.txt"
sleep 0.5
xdotool search --onlyvisible --name '^Add File' >/dev/null 2>&1 ||
    fail "a typed pattern closed the add-files dialog"
import -window root "$out/6-typed-pattern.png"
key_in "$dialog" Escape
await_gone '^Add File' || fail "add-files dialog stayed open after Escape"
rm -rf "$typed"
echo "typed pattern: the dialog stays open and adds nothing"

# 8. The folder scan's input box.
click_at "${scan_folder[@]}"
box=$(await_window '^Culvexa$') || fail "no extension input box"
sleep 0.5
import -window root "$out/7-extension.png"
height=$(xdotool getwindowgeometry "$box" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
# One line of label gives about 85 pixels; the prompt, a blank line and the hint about 114.
[ "${height:-0}" -ge 100 ] || fail "the extension prompt is on one line ($height pixels high)"
echo "extension input box: $height pixels high, the hint below a blank line"
key_in "$box" Escape
await_gone '^Culvexa$' || fail "extension input box stayed open"

# 9. Files that take seconds to extract in any build, with "Others:" ";" still chosen: a
#    file of 200 MB, where 99 lines in a hundred are empty columns only and the hundredth
#    gives two rows, added as many times over (hard links) as culvex-extract of this same
#    build needs for six seconds, so that the run is long whatever the build's speed.
python3 - "$config/big.csv" <<'PY'
import sys
block = (";" * 99 + "\n") * 99 + "r;s\n"
with open(sys.argv[1], "w") as f:
    for _ in range(2000):
        f.write(block * 10)
PY
copies=$(python3 - "$extract_program" "$config/big.csv" <<'PY'
import math, subprocess, sys, time
start = time.monotonic()
subprocess.run([sys.argv[1], "--others", ";", sys.argv[2]], stdout=subprocess.DEVNULL, check=True)
print(max(1, min(40, math.ceil(6 / max(time.monotonic() - start, 0.01)))))
PY
)
mkdir -p "$config/long"
names=""
for i in $(seq "$copies"); do
    ln -f "$config/big.csv" "$config/long/$i.csv"
    names="$names \"$i.csv\""
done
click_at "${clear_list[@]}"
click_at "${clear_results[@]}"
click_at "${add_files[@]}"
# The folder first (the dialog opens it and stays), then the names in it.
type_into '^Add File' "$config/long"
enter_path '^Add File' "$names"
sleep 0.5
click_at "${extract[@]}"
progress=$(await_window '^Culvex Progress$') || fail "no progress window during a large extraction"
sleep 0.3
import -window root "$out/8-progress.png"
eval "$(xdotool getwindowgeometry --shell "$progress")"
# The Stop button sits in the middle of the window's bottom edge.
xdotool mousemove --window "$progress" $((WIDTH / 2)) $((HEIGHT - 20)) click 1
await_window '^Culvexa$' >/dev/null || fail "no message after Stop"
sleep 0.3
import -window root "$out/9-stopped.png"
answer_message Return "stopped"
await_gone '^Culvex Progress$' || fail "the progress window stayed open"
kept="$out/results-stopped.txt"
rm -f "$kept"
save_results "$kept"
# The message's text is not readable from outside the program; a run that went on to
# "Done." would have listed all 40000 rows of every copy, and each line gives two.
all=$((40000 * copies))
listed=$(($(grep -c $'\r$' "$kept") - 1))
[ "$listed" -gt 0 ] && [ "$listed" -lt "$all" ] && [ $((listed % 2)) -eq 0 ] ||
    fail "Stop left $listed of $all rows in the list"
echo "progress window: shown, stopped after $listed of $all rows ($copies copies); see 9-stopped.png"

# 10. The preview (F6) follows the file list's selection: with a comma file selected, the
#     first "Use" (Tab from the table, Space) selects "Comma" and stores it; Escape closes
#     the preview, whose place is stored once it was moved.
ini="$config/Quillbrook/Quillbrook.ini"
printf 'a,b,c\n1,2,3\n' >"$out/preview.csv"
click_at "${add_files[@]}"
enter_path '^Add File' "$out/preview.csv"
sleep 0.5
grep -q '^PreviewWindow=' "$ini" && fail "the preview's place was stored before it was opened"
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key --clearmodifiers F6
preview=$(await_window '^Culvex Preview$') || fail "F6 opened no preview window"
sleep 0.5
xdotool windowmove "$preview" 0 610
xdotool windowsize "$preview" 1000 190
# The last entry, after the copies of the big file: the comma file, reached with Ctrl+End from
# the first, as a fast build makes more copies than the list shows at once. The preview
# showed the first one (the big file).
xdotool mousemove --window "$main" 100 "$(row_y 0)" click 1
sleep 0.5
xdotool key --clearmodifiers ctrl+End
sleep 1.5
xdotool windowfocus --sync "$preview" 2>/dev/null || true
xdotool key --clearmodifiers Tab space
sleep 0.5
import -window root "$out/10-preview.png"
grep -q '^Option9=True' "$ini" && grep -q '^Option11=False' "$ini" ||
    fail "the preview's first Use did not select Comma for the selected comma file"
key_in "$preview" Escape
await_gone '^Culvex Preview$' || fail "Escape did not close the preview"
grep -q '^PreviewWindow=0,610,1000,' "$ini" || fail "the preview's new place was not stored"
echo "preview: opened by F6, followed the selection, Use selected Comma, closed by Escape"

python3 "$(dirname "$0")/close_window.py" "$main"
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$pid" 2>/dev/null && fail "culvex still running after its window was closed"
wait "$pid"
pid=""
echo "window checks passed; screenshots in $out"
