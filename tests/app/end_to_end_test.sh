#!/usr/bin/env bash
# The real program against the real stand-in, under a virtual display, driven by real key
# presses and clicks: sign in with the demo account, import two files through the file
# dialog, start the batch with the built-in 20-second pause, and check what reached the
# stand-in and that the box ending the batch came up.
#
#   end_to_end_test.sh PROGRAM STANDIN SOURCE_DIR
set -euo pipefail
program=$1 standin=$2 source_dir=$3
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "end-to-end: $*" >&2; exit 1; }

bash "$source_dir/scripts/make-cert.sh" "$work/cert" >/dev/null
"$standin" --cert "$work/cert/server.pem" --key "$work/cert/server-key.pem" --data-dir "$work/data" \
  --ports-file "$work/ports" >"$work/standin.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/ports" ] && break; sleep 0.1; done
[ -s "$work/ports" ] || fail "the stand-in did not start: $(cat "$work/standin.out")"
https_port=$(sed -n 's/^https_port=//p' "$work/ports")
http_port=$(sed -n 's/^http_port=//p' "$work/ports")
export YEJIAN_CONNECT_TO="yejian.example:443:127.0.0.1:$https_port,yejian.example:80:127.0.0.1:$http_port"
export YEJIAN_CA_BUNDLE=$work/cert/ca.pem

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.out" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")
export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=

mkdir -p "$work/images"
printf '\xff\xd8\xff\xe0first' >"$work/images/西湖.jpg"
printf '\xff\xd8\xff\xe0second' >"$work/images/原创山路.jpg"

"$program" >"$work/program.out" 2>&1 &
program_pid=$!
pids+=("$program_pid")

find_window() { timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n1; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }

login=$(find_window '^测试版-请登录叶笺账户：$') || fail "no Login window"
click "$login" 145 179
xdotool type --delay 30 'demo@yejian.example'
click "$login" 145 214
xdotool type --delay 30 'demo-pass'
click "$login" 262 196

upload=$(find_window '^澜岫叶笺上传-测试版$') || fail "no Upload window after signing in"
click "$upload" 133 79
dialog=$(find_window '^选择欲上传的文件：$') || fail "no file dialog"
sleep 0.5
xdotool type --delay 30 "\"$work/images/西湖.jpg\" \"$work/images/原创山路.jpg\""
xdotool key Return
sleep 1
click "$upload" 133 116

# Two rows and one 20-second pause between them; the box comes up once both are done.
timeout 90 xdotool search --sync --onlyvisible --name '^提示$' >/dev/null || fail "no box ending the batch"

python3 - "$work/data/requests.jsonl" <<'PY'
import json, sys, datetime
lines = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
def when(r): return datetime.datetime.strptime(r["time"], "%Y-%m-%dT%H:%M:%S.%fZ").timestamp()
uploads = [r for r in lines if r["target"] == "/upload/"]
edits = [r for r in lines if r["target"].startswith("/pins/") and r["target"] != "/pins/"]
assert [u["files"][0]["file_name"] for u in uploads] == ["西湖", "山路"], uploads
assert [r["status"] for r in uploads + edits] == [200] * 4, [r["status"] for r in uploads + edits]
assert all(dict(e["form"])["link"] == "https://yejian.example/uploader/" for e in edits), edits
pause = when(uploads[1]) - when(edits[0])
assert pause >= 19.9, f"pause of {pause:.1f} s between the files"
print(f"two pins made, {pause:.1f} s apart")
PY
kill -0 "$program_pid" || fail "the program ended on its own"
