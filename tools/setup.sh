#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, the
# ja_JP.UTF-8 locale that gives Wine its Japanese ANSI code page (932), and
# 32-bit Wine for the shipped i686 program. Where the kernel cannot run
# 32-bit code itself, qemu-i386 (QEMU 8 or later, from bookworm-backports)
# runs it, registered through binfmt_misc; that registration does not
# survive a reboot, so it is checked on every run. Quiet and quick when
# everything is already there.
set -euo pipefail

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

packages=(
    cmake ninja-build g++ python3 clang-format black # the build and the format check
    clang libclang-rt-14-dev                         # fuzz/fuzz.sh
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    googletest libgtest-dev
    wine64 wine32:i386 xvfb fonts-wine locales # Windows tests, tools/run.sh
    xclip xdotool fonts-ipafont-gothic         # tools/screenshots.sh (the pictures test), tools/run.sh
    strip-nondeterminism diffoscope-minimal    # the package, tests/reproducible.sh
    imagemagick librsvg2-bin icoutils          # the pictures, res/make_icon.sh, tests/resources.sh
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

updated=0
apt_install() {
    [ "$updated" = 1 ] || $sudo apt-get update -qq
    updated=1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture (32-bit Wine)"
    $sudo dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt_install "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi

# Can this machine run a 32-bit program at all? Wine's own 32-bit loader
# answers --version without a prefix or a display.
runs_32_bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
runs_32_bit && exit 0

# QEMU 8 or later: Debian 12's own 7.2 spends about a minute of CPU on each
# new Wine process.
qemu_major=$(qemu-i386 --version 2>/dev/null | sed -n 's/.*version \([0-9]*\)\..*/\1/p')
if [ "${qemu_major:-0}" -lt 8 ]; then
    if ! apt-cache policy 2>/dev/null | grep -q 'bookworm-backports'; then
        # The mirror that the system's own Debian source already names.
        mirror=$(grep -hs -E '^(URIs:|deb )' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
            grep -v security | grep -o -E 'https?://[^ ]*/debian/?( |$)' | head -n 1 | tr -d ' ')
        [ -n "$mirror" ] || { echo "setup: no Debian mirror in the apt sources for bookworm-backports" >&2; exit 1; }
        echo "setup: adding bookworm-backports from $mirror"
        printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$mirror" | $sudo tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
    fi
    echo "setup: installing qemu-user-static from bookworm-backports"
    # Only the user-mode emulator: the rest of the system stays on bookworm.
    updated=0
    apt_install -t bookworm-backports qemu-user-static
fi

binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
if [ ! -e "$binfmt/qemu-i386" ]; then
    echo "setup: registering qemu-i386 for 32-bit programs"
    # F: the kernel opens the emulator now, so it works in any mount namespace.
    echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' |
        $sudo tee "$binfmt/register" >/dev/null
fi
runs_32_bit || { echo "setup: 32-bit programs still do not run (qemu-i386 through binfmt_misc)" >&2; exit 1; }
