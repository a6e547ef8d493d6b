#!/usr/bin/env bash
# GBK <-> UTF-16 conversion of a 4 KB text with the cached converters, beside opening iconv per call.
set -euo pipefail
"$BUILD_DIR/bench/gbk_codec_bench"
