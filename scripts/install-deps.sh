#!/bin/sh
# Installs the Debian 12 packages Tabulix needs to build, test and run.
set -e
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    build-essential cmake ninja-build pkg-config \
    qt6-base-dev qt6-translations-l10n libgl-dev \
    fonts-noto-cjk \
    libzip-dev libfreexl-dev \
    libgtest-dev libbenchmark-dev \
    clang libclang-rt-14-dev \
    xvfb xauth \
    poppler-utils \
    desktop-file-utils appstream file >/dev/null
