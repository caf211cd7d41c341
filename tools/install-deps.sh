#!/bin/sh
# Installs what Skyrell needs to build, run and test on Debian 12.
set -e
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    build-essential cmake ccache pkg-config \
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins \
    libxcb1-dev \
    libgtest-dev libgmock-dev googletest \
    libproj-dev \
    libvips-dev libturbojpeg0-dev libjpeg62-turbo-dev \
    clang libfuzzer-14-dev clang-tidy \
    fonts-wqy-microhei qt6-translations-l10n \
    desktop-file-utils >/dev/null
