#!/usr/bin/env bash
# Starts the local stand-in of the service on free loopback ports, making its certificate
# first if needed, and prints the demo account and the address of its web page.
#
#   scripts/run-standin.sh [--build-dir DIR] [--env-file FILE] [-- more yejian-standin flags]
#
# Without --env-file it runs in the foreground until Ctrl-C. With --env-file it leaves the
# stand-in running in the background and writes FILE, to be sourced by a shell:
#   YEJIAN_CONNECT_TO   reroutes yejian.example's ports 443 and 80 to the stand-in
#   YEJIAN_CA_BUNDLE    the throwaway CA that signed the stand-in's certificate
#   YEJIAN_STANDIN_PID  the process to stop (kill "$YEJIAN_STANDIN_PID") when done
#   YEJIAN_STANDIN_URL  the web page that shows the boards and their pins
# The certificate, uploaded files, pins and request log live under DIR (default: build):
# DIR/standin-cert, DIR/standin-data (requests.jsonl is the request log), DIR/standin.out.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$repo/build
env_file=
while [ $# -gt 0 ]; do
  case $1 in
    --build-dir) build_dir=${2:?--build-dir needs a folder}; shift 2 ;;
    --env-file) env_file=${2:?--env-file needs a file name}; shift 2 ;;
    --) shift; break ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run-standin.sh: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
done
build_dir=$(mkdir -p "$build_dir" && cd "$build_dir" && pwd)
standin=$build_dir/bin/yejian-standin
if [ ! -x "$standin" ]; then
  echo "run-standin.sh: $standin is missing; build it first: scripts/build.sh $build_dir" >&2
  exit 1
fi

cert_dir=$build_dir/standin-cert
"$repo/scripts/make-cert.sh" "$cert_dir"
ports_file=$build_dir/standin.ports
rm -f "$ports_file"

"$standin" --cert "$cert_dir/server.pem" --key "$cert_dir/server-key.pem" \
  --data-dir "$build_dir/standin-data" --ports-file "$ports_file" "$@" \
  >"$build_dir/standin.out" 2>&1 &
pid=$!

for _ in $(seq 100); do
  [ -s "$ports_file" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || true
    echo "run-standin.sh: the stand-in did not start:" >&2
    cat "$build_dir/standin.out" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$ports_file" ]; then
  kill "$pid" 2>/dev/null || true
  echo "run-standin.sh: the stand-in did not report its ports within 10 seconds" >&2
  exit 1
fi
https_port=$(sed -n 's/^https_port=//p' "$ports_file")
http_port=$(sed -n 's/^http_port=//p' "$ports_file")
connect_to="yejian.example:443:127.0.0.1:$https_port,yejian.example:80:127.0.0.1:$http_port"
web_page="http://127.0.0.1:$http_port/"

cat <<INFO
The local stand-in of 叶笺 is running (process $pid).
  Demo account:  e-mail demo@yejian.example   password demo-pass
  Web page:      $web_page  (boards and their pins)
  Request log:   $build_dir/standin-data/requests.jsonl
  For the program: YEJIAN_CONNECT_TO=$connect_to
                   YEJIAN_CA_BUNDLE=$cert_dir/ca.pem
INFO

if [ -n "$env_file" ]; then
  cat >"$env_file" <<ENV
export YEJIAN_CONNECT_TO='$connect_to'
export YEJIAN_CA_BUNDLE='$cert_dir/ca.pem'
export YEJIAN_STANDIN_PID=$pid
export YEJIAN_STANDIN_URL='$web_page'
ENV
  exit 0
fi

echo "Press Ctrl-C to stop it."
trap 'kill -TERM "$pid" 2>/dev/null || true' INT TERM
wait "$pid" || true
wait "$pid" 2>/dev/null || true
