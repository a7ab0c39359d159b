#!/bin/sh
# Installs what building and testing VORK needs on Debian 12.
set -e
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq \
    build-essential cmake g++ clang ccache libclang-rt-dev \
    libgtest-dev libgmock-dev libbenchmark-dev \
    qt6-base-dev qt6-translations-l10n libqt6svg6 xvfb \
    default-jdk-headless neovim \
    dpkg-dev groff-base man-db desktop-file-utils libxml2-utils locales >/dev/null
