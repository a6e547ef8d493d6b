#!/usr/bin/env bash
# One click of the draw button with the delivered list on the real widgets, beside 381 plain writes
# of a nine-character name into an edit box of the account field's kind; off screen.
set -euo pipefail
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/bench/account_draw_bench"
