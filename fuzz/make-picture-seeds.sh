#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the seeds of the picture decoder's fuzz target (corpus/picture_decoder) with the
# program's own picture generator: small baseline, grayscale, progressive, arithmetic
# and restart-marker pictures, one cut short and one declaring a size we refuse.
#   fuzz/make-picture-seeds.sh [BUILD-DIR]   (default build-test; built if needed)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build-test}"
cmake --build "$build" --target make-pictures
corpus="$here/corpus/picture_decoder"
mkdir -p "$corpus"
rm -f "$corpus"/*
"$build/tools/make-pictures" --seeds "$corpus"
ls -l "$corpus"
