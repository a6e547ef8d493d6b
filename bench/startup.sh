#!/usr/bin/env bash
# Start-up of the program to the first paint of its main window, beside a minimal Qt Widgets program
# with the same window and version fetch, on a private Xvfb server; the driver serves the version on
# the loopback address the build was configured with (scripts/local-build-values).
set -euo pipefail
build_dir=${BUILD_DIR:-build-bench}

host=$(sed -n 's/^TAVIK_VERSION_HOST:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
if [[ ! "$host" =~ ^127\.0\.0\.1:([0-9]+)$ ]]; then
    echo "startup: $build_dir takes its version from \"$host\"; configure it with the values of" \
        "scripts/local-build-values" >&2
    exit 1
fi
port=${BASH_REMATCH[1]}

workdir=$(mktemp -d)
xvfb_pid=""
cleanup() {
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT

# -noreset: the server keeps its state between clients, as a desktop's server does.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -noreset -nolisten tcp 3>"$workdir/display" \
    2>"$workdir/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 300); do
    [[ -s "$workdir/display" ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$workdir/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
[[ -s "$workdir/display" ]] || { echo "startup: Xvfb did not start" >&2; exit 1; }

DISPLAY=":$(tr -d '[:space:]' <"$workdir/display")" \
    "$build_dir/bench/startup_bench" "$build_dir/tavik" "$build_dir/bench/startup_baseline" \
    "$port" "${TAVIK_STARTUP_STARTS:-30}" "${TAVIK_STARTUP_WARM_UPS:-3}"
