#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, the
# ja_JP.UTF-8 locale that gives Wine its Japanese ANSI code page (932), and
# 32-bit Wine for the shipped i686 program. Where the kernel cannot run
# 32-bit code itself, qemu-i386 (QEMU 8 or later: the release's own, or its
# backports' where that is older, as on Debian 12) runs it, registered
# through binfmt_misc; that registration does not survive a reboot, so it is
# checked on every run. Quiet and quick when everything is already there.
#
# TRAMOLIVENGA_EMULATE_I386=1 takes the emulated path even where the kernel
# runs 32-bit code itself: an entry for qemu-i386 in binfmt_misc is used
# before the kernel's own loader.
set -Eeuo pipefail
# set -e alone ends the script without a word: name the command that failed,
# once (not again from each command substitution around it).
trap 'status=$?; [ "$BASH_SUBSHELL" != 0 ] || echo "setup: failed (exit $status) at line $LINENO: $BASH_COMMAND" >&2' ERR

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

packages=(
    cmake ninja-build g++ python3 clang-format black # the build and the format check
    clang libclang-rt-dev                            # fuzz/fuzz.sh
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    googletest libgtest-dev
    wine64 wine32:i386 xvfb xauth fonts-wine locales # Windows tests, tools/run.sh (xauth: xvfb-run)
    xclip xdotool fonts-ipafont-gothic               # tools/screenshots.sh (the pictures test), tools/run.sh
    strip-nondeterminism diffoscope-minimal          # the package, tests/reproducible.sh
    imagemagick librsvg2-bin icoutils                # the pictures, res/make_icon.sh, tests/resources.sh
)

# The output of the listing commands below is taken whole before it is
# searched: grep -q stops reading at its first match, and under pipefail the
# writer's broken pipe would fail the test.
installed() {
    local status
    status=$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) || return 1
    [ "$status" = "install ok installed" ]
}

updated=0
apt_install() {
    [ "$updated" = 1 ] || $sudo apt-get update -qq
    updated=1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

if ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
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

if ! grep -qi '^ja_JP\.utf-\?8$' <<<"$(locale -a 2>/dev/null || true)"; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi

# Can this machine run a 32-bit program at all? Wine's own 32-bit loader
# answers --version without a prefix or a display.
runs_32_bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
binfmt=/proc/sys/fs/binfmt_misc
# An enabled entry for qemu-i386 runs 32-bit programs even where the kernel
# could: then they are emulated all the same.
emulated() { [ "$(head -n 1 "$binfmt/qemu-i386" 2>/dev/null || true)" = enabled ]; }
if [ "${TRAMOLIVENGA_EMULATE_I386:-0}" != 1 ] && ! emulated && runs_32_bit; then
    echo "setup: 32-bit programs run natively"
    exit 0
fi

# QEMU 8 or later: Debian 12's own 7.2 spends about a minute of CPU on each
# new Wine process. Where the release's own is older, its backports have one.
qemu_version=$(qemu-i386 --version 2>/dev/null || true)
qemu_major=$(sed -n 's/.*version \([0-9]*\)\..*/\1/p' <<<"$qemu_version")
if [ "${qemu_major:-0}" -lt 8 ]; then
    [ "$updated" = 1 ] || $sudo apt-get update -qq
    updated=1
    policy=$(apt-cache policy qemu-user-static)
    offered=$(sed -n 's/^ *Candidate: \([0-9]*:\)\?\([0-9]*\)\..*/\2/p' <<<"$policy")
    release=""
    if [ "${offered:-0}" -lt 8 ]; then
        release="$(. /etc/os-release && echo "$VERSION_CODENAME")-backports"
        if ! grep -q "$release" <<<"$(apt-cache policy 2>/dev/null || true)"; then
            mirror=$(bash "$(dirname "$0")/debian-mirror.sh") || { echo "setup: so $release cannot be added" >&2 && exit 1; }
            echo "setup: adding $release from $mirror"
            printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                "$mirror" "$release" | $sudo tee "/etc/apt/sources.list.d/$release.sources" >/dev/null
            updated=0
        fi
    fi
    echo "setup: installing qemu-user-static${release:+ from $release}"
    # Only the user-mode emulator: the rest of the system stays on its release.
    apt_install ${release:+-t "$release"} qemu-user-static
    qemu_version=$(qemu-i386 --version)
fi

[ -e "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
[ ! -e "$binfmt/qemu-i386" ] || emulated || echo 1 | $sudo tee "$binfmt/qemu-i386" >/dev/null # was disabled
if [ ! -e "$binfmt/qemu-i386" ]; then
    echo "setup: registering qemu-i386 for 32-bit programs"
    # F: the kernel opens the emulator now, so it works in any mount namespace.
    echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' |
        $sudo tee "$binfmt/register" >/dev/null
fi
if ! runs_32_bit; then
    echo "setup: 32-bit programs still do not run: /usr/lib/wine/wine --version fails with qemu-i386 registered in $binfmt" >&2
    exit 1
fi
echo "setup: 32-bit programs run under $(head -n 1 <<<"$qemu_version") through binfmt_misc"
