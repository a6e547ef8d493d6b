#!/usr/bin/env bash
# The HTTP fetch on loopback: median time for "1.0" and throughput of a 15 MiB body, each beside a
# bare libcurl GET measured in the same run.
set -euo pipefail
build_dir=${BUILD_DIR:-build-bench}
exec "$build_dir/bench/http_fetch_bench"
