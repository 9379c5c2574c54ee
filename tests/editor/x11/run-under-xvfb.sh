#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own, large enough for the whole panel at
# scale 1 (windows are read back from the screen). Without xvfb-run the test is skipped
# (exit status 77, which CTest reports as skipped), with a message saying why.
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "skipped: xvfb-run is not installed (tools/install-dependencies.sh installs xvfb and xauth)"
  exit 77
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" "$@"
