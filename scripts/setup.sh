#!/usr/bin/env bash
# Installs every Debian package Tesselor needs to build, test and make its demo.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libjpeg62-turbo-dev libpng-dev libtiff-dev zlib1g-dev libwebp-dev libheif-dev
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # the fuzz targets (fuzz/run.sh): clang and its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
  # independent encoders and decoders the tests compare against
  imagemagick libjpeg-turbo-progs libtiff-tools python3-pil webp libheif-examples
  libimage-exiftool-perl
  # renders the desktop program's printed PDF pages in its tests
  poppler-utils
  # a private X display with a window manager, for key presses as X delivers them
  xvfb openbox xdotool
  # photographs for the Demo Tile Library and the demo mosaic
  mate-backgrounds
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${packages[@]}"
