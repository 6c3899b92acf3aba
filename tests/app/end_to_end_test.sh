#!/usr/bin/env bash
# The real program against the real stand-in, under a virtual display, driven by real key
# presses and clicks: sign in with the demo account, import two files through the file
# dialog, start the batch with the built-in 20-second pause, and check what reached the
# stand-in and that the box ending the batch came up. Then every file the program, the
# stand-in and this test wrote, and the program's output, is searched for the password.
#
#   end_to_end_test.sh PROGRAM STANDIN SOURCE_DIR
set -Eeuo pipefail
program=$1 standin=$2 source_dir=$3
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'fail "a step failed: line $LINENO: $BASH_COMMAND"' ERR
# A failure shows what the program and the stand-in printed: a window that went away may be
# a program that ended.
fail() {
  echo "end-to-end: $*" >&2
  for log in program.out standin.out; do
    [ -s "$work/$log" ] && { echo "--- $log" >&2; tail -n 40 "$work/$log" >&2; }
  done
  exit 1
}

# An account of this test's own, whose password changes when it is URL-encoded, so that both
# forms can be looked for. Only its digest is written down.
email='e2e@yejian.example' password='e2e pass&w+rd'
cat >"$work/accounts.json" <<JSON
{"accounts": [{"email": "$email", "password_sha256": "$(printf %s "$password" | sha256sum | cut -d' ' -f1)",
               "urlname": "e2e-user", "boards": [{"board_id": 7001, "title": "e2e"}]}]}
JSON

bash "$source_dir/scripts/make-cert.sh" "$work/cert" >/dev/null
"$standin" --cert "$work/cert/server.pem" --key "$work/cert/server-key.pem" --data-dir "$work/data" \
  --accounts "$work/accounts.json" --ports-file "$work/ports" >"$work/standin.out" 2>&1 &
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
# Typed names stay ASCII: xdotool types other characters by remapping a key on the fly, which
# races with a busy program. Chinese names and "原创" are covered by the batch's own tests.
printf '\xff\xd8\xff\xe0first' >"$work/images/west-lake.jpg"
printf '\xff\xd8\xff\xe0second' >"$work/images/mountain path.jpg"

# The program's home, settings, caches, data, runtime and temporary folders are all inside the
# work folder, so whatever it writes is searched at the end.
home=$work/home
mkdir -p "$home/config" "$home/cache" "$home/data" "$home/tmp"
mkdir -m 0700 "$home/runtime"
HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data \
  XDG_RUNTIME_DIR=$home/runtime TMPDIR=$home/tmp "$program" >"$work/program.out" 2>&1 &
program_pid=$!
pids+=("$program_pid")

# Waits are on what the screen and the stand-in show, never on fixed delays alone: the suite
# runs this next to other tests on a busy machine.
# xdotool's search reads every window's attributes and gives up on the first that vanished
# meanwhile (the X error "BadWindow"); a program starting up makes and drops windows of its own,
# so a search that fails is simply tried again.
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
find_window() {
  local deadline=$((SECONDS + ${2:-60})) id
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(visible_window "$1") || true
    if [ -n "$id" ] && xdotool getwindowname "$id" >/dev/null 2>&1; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}
# Gone means a search that ran to its end and found nothing: no id, and no X error either.
window_gone() {
  local out
  for _ in $(seq 100); do
    out=$(xdotool search --onlyvisible --name "$1" 2>&1) || true
    [ -z "$out" ] && return 0
    sleep 0.1
  done
  return 1
}
click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; sleep 0.5; }
type_into() { click "$1" "$2" "$3"; xdotool type --delay 30 "$4"; }
uploads_logged() {
  local n
  n=$(grep -c '"target":"/upload/"' "$work/data/requests.jsonl" 2>/dev/null) || true
  echo "${n:-0}"
}

login=$(find_window '^测试版-请登录叶笺账户：$') || fail "no Login window"
type_into "$login" 145 179 "$email"
type_into "$login" 145 214 "$password"
click "$login" 262 196

upload=$(find_window '^澜岫叶笺上传-测试版$') || fail "no Upload window after signing in"
click "$upload" 133 79
dialog=$(find_window '^选择欲上传的文件：$') || fail "no file dialog"
# The dialog's file-name box has the focus once the dialog has it. The names are accepted with
# the dialog's Open button (bottom right), not Return: a completion list that pops up while the
# names are typed would take the Return, and a click next to it closes it; so the button is
# pressed until the dialog has gone.
xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool type --delay 30 "\"$work/images/west-lake.jpg\" \"$work/images/mountain path.jpg\""
eval "$(xdotool getwindowgeometry --shell "$dialog")"
for attempt in 1 2 3 4; do
  click "$dialog" $((WIDTH - 51)) $((HEIGHT - 54))
  window_gone '^选择欲上传的文件：$' && break
  [ "$attempt" = 4 ] && fail "the file dialog did not take the two names"
done

# A press that comes before the window is ready is lost; a second press while the batch runs
# finds the button disabled and does nothing, so pressing again is safe.
for attempt in 1 2 3; do
  click "$upload" 133 116
  for _ in $(seq 100); do [ "$(uploads_logged)" -ge 1 ] && break 2; sleep 0.1; done
  [ "$attempt" = 3 ] && fail "the start button began no batch"
done

# Two rows and one 20-second pause between them; the box comes up once both are done.
find_window '^提示$' 90 >/dev/null || fail "no box ending the batch"

python3 - "$work/data/requests.jsonl" <<'PY'
import json, sys, datetime
lines = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
def when(r): return datetime.datetime.strptime(r["time"], "%Y-%m-%dT%H:%M:%S.%fZ").timestamp()
uploads = [r for r in lines if r["target"] == "/upload/"]
edits = [r for r in lines if r["target"].startswith("/pins/") and r["target"] != "/pins/"]
assert [u["files"][0]["file_name"] for u in uploads] == ["west-lake", "mountain path"], uploads
assert [r["status"] for r in uploads + edits] == [200] * 4, [r["status"] for r in uploads + edits]
assert all(dict(e["form"])["link"] == "https://yejian.example/uploader/" for e in edits), edits
pause = when(uploads[1]) - when(edits[0])
assert pause >= 19.9, f"pause of {pause:.1f} s between the files"
print(f"two pins made, {pause:.1f} s apart")
PY
kill -0 "$program_pid" || fail "the program ended on its own"

# Everything is written once both have ended (the program prints nothing of its own on
# stdout, so ending it loses no buffered output).
kill "$program_pid" "${pids[0]}"
wait "$program_pid" "${pids[0]}" 2>/dev/null || true

python3 - "$work" "$email" "$password" <<'PY'
import json, os, sys, urllib.parse
work, email, password = sys.argv[1:]
# The sign-in went out with this password: the search below is not a search of nothing.
log = [json.loads(l) for l in open(os.path.join(work, "data", "requests.jsonl"), encoding="utf-8")]
assert any(r["target"] == "/auth/" and r["status"] == 200 and dict(r["form"]).get("email") == email
           for r in log), "no successful sign-in in the stand-in's log"
# As typed, URL-encoded (either way of writing a blank, either case of hex digits), and as
# Qt holds text in memory.
needles = {password.encode(), urllib.parse.quote(password, safe="").encode(),
           urllib.parse.quote_plus(password).encode()}
needles = {n.lower() for n in needles} | {password.encode("utf-16-le")}
found, searched = [], 0
for folder, _, names in os.walk(work):
    for name in names:
        path = os.path.join(folder, name)
        if os.path.islink(path) or not os.path.isfile(path):
            continue
        with open(path, "rb") as f:
            data = f.read()
        searched += 1
        found += [f"{path} holds {n!r}" for n in needles if n in data or n in data.lower()]
assert not found, "the password was written down:\n" + "\n".join(found)
print(f"the password is in none of {searched} files")
PY
