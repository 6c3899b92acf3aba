#!/usr/bin/env bash
# The whole job on one machine: installs what is missing, builds, starts the local stand-in of
# the service on free loopback ports and runs yejian-uploader against it. When the program
# exits the stand-in is stopped. Sign in with the demo account it prints, pick a board, import
# the sample images (the folder "samples" next to the program, where the import dialog opens)
# and start the upload; the stand-in's web page then shows the pins.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-demo.sh: no display to show the windows on; run it under a virtual one: xvfb-run -a scripts/run-demo.sh" >&2
  exit 1
fi

scripts/install-deps.sh
scripts/build.sh build

rm -rf build/bin/samples
cp -r standin/samples build/bin/samples

env_file=build/standin.env
scripts/run-standin.sh --build-dir build --env-file "$env_file"
# shellcheck source=/dev/null
. "$env_file"
stop_standin() { kill -TERM "$YEJIAN_STANDIN_PID" 2>/dev/null || true; }
trap stop_standin EXIT
trap 'stop_standin; exit 130' INT TERM
echo "  Sample images: $repo/build/bin/samples"

build/bin/yejian-uploader
