#!/usr/bin/env bash
# Proves the README's two commands on a machine where nothing is installed
# yet: a minimal Debian (mmdebstrap's minbase and git, from the mirror that
# this host's apt sources name, its sources in deb822 form as current images
# keep them) with a clone of this repo's HEAD, used as root in a chroot with
# its own /proc, /sys, /dev, /dev/shm and /tmp, in private mount and PID
# namespaces. In order:
#   1. the run command with no display: it sets up and builds, then says how
#      to start the program on a virtual screen; that advice, followed word
#      for word, must keep the shipped program running;
#   2. the test command must pass;
#   3. the run command on an X display that this check starts must keep the
#      program running.
# Reports each command's time and which path set-up took for 32-bit code.
#
#   fresh_machine/check.sh [RELEASE] [native|emulated]
#   fresh_machine/check.sh RELEASE pictures
#   fresh_machine/check.sh RELEASE faults [--pictures] [ID ...]
#
# The second form takes, in such a chroot, the reference pictures of the
# release's Wine (bash tools/screenshots.sh, on the native path) and copies
# them into this repo's pictures/, to be reviewed and committed. The third
# sets up and runs bash faults/plant.sh with those arguments there, on the
# native path, and prints its table.
#
# RELEASE is a Debian code name (default bookworm). "emulated" (and
# "native" too) first takes the host's own qemu-i386 entry out of
# binfmt_misc, which would run the chroot's 32-bit code otherwise; emulated
# sets TRAMOLIVENGA_EMULATE_I386=1, so that the chroot's set-up installs and
# registers QEMU itself, even on a host that runs 32-bit code natively. At
# the end the host is as it was: the namespaces' processes and mounts end
# with them, the chroot is deleted and the host's binfmt_misc entry put back.
# Needs root; installs mmdebstrap on the host if it is missing. About 2 GB of
# packages are downloaded for each run.
set -Eeuo pipefail
trap 'status=$?; [ "$BASH_SUBSHELL" != 0 ] || echo "fresh_machine: failed (exit $status) at line $LINENO: $BASH_COMMAND" >&2' ERR

binfmt=/proc/sys/fs/binfmt_misc
# How long the program must stay up once it has started.
KEEP_RUNNING=20

# --- In the namespaces (as their first process): ROOT WATCH COMMAND ---------
# Mounts the chroot's file systems and runs COMMAND there. With WATCH=yes,
# waits for the shipped program's own process and returns once it has kept
# running for KEEP_RUNNING seconds; leaving ends every process of the step.
inside() {
    local root=$1 watch=$2 command=$3 pid="" started deadline
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs tmpfs "$root/dev/shm"
    mount -t tmpfs tmpfs "$root/tmp"
    local -a environment=(env -i HOME=/root TERM=dumb CI=true
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
    [ "${TRAMOLIVENGA_EMULATE_I386:-0}" != 1 ] || environment+=(TRAMOLIVENGA_EMULATE_I386=1)
    # The braces keep COMMAND's own "&" from taking the cd into the background.
    local -a run=(chroot "$root" "${environment[@]}" bash -c "cd /root/tramolivenga && { $command; }")
    [ "$watch" = yes ] || exec "${run[@]}"
    "${run[@]}" &
    local runner=$!
    deadline=$((SECONDS + 900))
    while [ -z "$pid" ]; do
        kill -0 "$runner" 2>/dev/null || { echo "fresh_machine: the command ended before the program started" >&2 && exit 1; }
        [ $SECONDS -lt $deadline ] || { echo "fresh_machine: no tramolivenga.exe after 900 s" >&2 && exit 1; }
        sleep 1
        pid=$(program_pid "$root")
    done
    started=$SECONDS
    sleep "$KEEP_RUNNING"
    if [ "$(program_pid "$root")" != "$pid" ]; then
        echo "fresh_machine: tramolivenga.exe (pid $pid) ended within $KEEP_RUNNING s" >&2
        exit 1
    fi
    echo "fresh_machine: tramolivenga.exe ran for $((SECONDS - started)) s as $(readlink "$root/proc/$pid/exe")"
    # Ended as a session ends, with the prefix's registry saved: killed with
    # the namespace, the server would leave it half written for the next step.
    chroot "$root" "${environment[@]}" WINEPREFIX=/root/tramolivenga/build/wineprefix /usr/lib/wine/wineserver -k || true
    wait "$runner" || true
}

# The program's own process: its last argument names it (natively the only
# one; emulated, qemu-i386 and Wine come first). Explorer, which starts it,
# names it after its /desktop option.
program_pid() {
    local proc arguments
    for proc in "$1"/proc/[0-9]*; do
        mapfile -d '' arguments 2>/dev/null <"$proc/cmdline" || continue
        # Wine 10 pads the command line with NULs: the last word is the last non-empty one.
        while [ ${#arguments[@]} -gt 0 ] && [ -z "${arguments[-1]}" ]; do unset 'arguments[-1]'; done
        [ ${#arguments[@]} -gt 0 ] || continue
        [[ "${arguments[-1]}" == *[\\/]tramolivenga.exe ]] || continue
        [[ " ${arguments[*]} " != *" /desktop="* ]] || continue
        [[ " ${arguments[*]} " != *wine_tray.exe* ]] || continue # starts it, then ends
        echo "${proc##*/}"
        return 0
    done
}

if [ "${1:-}" = --inside ]; then
    shift
    inside "$@"
    exit
fi

# --- On the host --------------------------------------------------------------
release=${1:-bookworm}
path=${2:-native}
plant_arguments=("${@:3}")
case "$path" in native | emulated | pictures | faults) ;; *) echo "usage: fresh_machine/check.sh [RELEASE] [native|emulated|pictures|faults [--pictures] [ID ...]]" >&2 && exit 2 ;; esac
[ "$(id -u)" = 0 ] || { echo "fresh_machine: needs root (chroot, namespaces, binfmt_misc)" >&2 && exit 2; }
repo=$(cd "$(dirname "$0")/.." && pwd)
self="$repo/fresh_machine/check.sh"

# The README's Quick start: its first command runs, its second tests.
quick_start=$(sed -n '/^## Quick start/,/^## /p' "$repo/README.md" | sed -n '/^```sh/,/^```/p' | grep -v '^```' | sed 's/ *#.*//')
run_command=$(sed -n 1p <<<"$quick_start")
test_command=$(sed -n 2p <<<"$quick_start")

if ! command -v mmdebstrap >/dev/null; then
    echo "fresh_machine: installing mmdebstrap on the host"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap >/dev/null
fi
mirror=$(bash "$repo/tools/debian-mirror.sh")

# binfmt_misc is the kernel's, shared by every namespace; it is mounted here
# only in a mount namespace of its own, so the host's mounts stay as they are.
# Its entries last only while it is mounted somewhere: where the host has no
# mount of its own, each step's set-up registers qemu-i386 again.
in_binfmt() { unshare --mount --propagation private bash -c "mountpoint -q $binfmt || mount -t binfmt_misc binfmt_misc $binfmt; $1"; }
# The host's entry as the line that registers it again.
saved_entry=$(in_binfmt "[ ! -e $binfmt/qemu-i386 ] || cat $binfmt/qemu-i386")
register_line() {
    local interpreter flags offset magic mask
    interpreter=$(sed -n 's/^interpreter //p' <<<"$saved_entry")
    flags=$(sed -n 's/^flags: //p' <<<"$saved_entry")
    offset=$(sed -n 's/^offset //p' <<<"$saved_entry")
    magic=$(sed -n 's/^magic //p' <<<"$saved_entry" | sed 's/../\\x&/g')
    mask=$(sed -n 's/^mask //p' <<<"$saved_entry" | sed 's/../\\x&/g')
    echo ":qemu-i386:M:$offset:$magic:$mask:$interpreter:$flags"
}

root=$(mktemp -d /var/tmp/tramolivenga-fresh.XXXXXX)
logs=$(mktemp -d "/tmp/fresh_machine-$release-$path.XXXXXX") # kept: each step's whole output
finish() {
    # Whatever the chroot registered goes, and the host's own entry comes back.
    in_binfmt "[ ! -e $binfmt/qemu-i386 ] || echo -1 >$binfmt/qemu-i386" || true
    if [ -n "$saved_entry" ]; then
        in_binfmt "echo '$(register_line)' >$binfmt/register" || true
        grep -q '^disabled' <<<"$saved_entry" && in_binfmt "echo 0 >$binfmt/qemu-i386" || true
    fi
    # The chroot's mounts lived in the namespaces only; never delete through one.
    if grep -q " $root/" /proc/self/mountinfo; then
        echo "fresh_machine: something is still mounted in $root; left in place" >&2
    else
        rm -rf --one-file-system "$root"
    fi
}
trap finish EXIT
[ -z "$saved_entry" ] || in_binfmt "echo -1 >$binfmt/qemu-i386"
export TRAMOLIVENGA_EMULATE_I386=0
[ "$path" != emulated ] || TRAMOLIVENGA_EMULATE_I386=1

echo "fresh_machine: $release, $path path, from $mirror, in $root"
start=$SECONDS
mmdebstrap --quiet --variant=minbase --include=git "$release" "$root" "$mirror"
# As a current Debian image keeps them: deb822, in debian.sources alone.
rm -f "$root/etc/apt/sources.list" "$root"/etc/apt/sources.list.d/*
printf 'Types: deb\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$mirror" "$release" "$release" >"$root/etc/apt/sources.list.d/debian.sources"
git clone -q "$repo" "$root/root/tramolivenga"
echo "fresh_machine: a bare $release with the clone of $(git -C "$repo" rev-parse --short HEAD) in $((SECONDS - start)) s"

# Each line of a step's output is logged after the second of the step it came
# in, so that set-up's share shows: its last line ends it.
step() { # NAME WATCH COMMAND
    local began=$SECONDS log="$logs/$1.log" status=0 line
    echo "== $1: $3"
    unshare --mount --pid --fork --propagation private bash "$self" --inside "$root" "$2" "$3" 2>&1 |
        while IFS= read -r line; do printf '%4d %s\n' $((SECONDS - began)) "$line"; done >"$log" || status=$?
    echo "-- $1: $((SECONDS - began)) s, exit $status"
    step_log=$(cat "$log")
    return "$status"
}
report() { grep -E '^ *[0-9]+ ((setup|fresh_machine|test):|-- )| pictures .* sec' <<<"$step_log" || true; }
failed() { tail -n 40 <<<"$step_log" >&2; echo "fresh_machine: $1; the logs are in $logs" >&2; exit 1; }

if [ "$path" = pictures ]; then
    step pictures no 'bash tools/screenshots.sh && basename "$(sh tools/reference-set.sh)" >../picture-set' ||
        failed "the pictures were not taken"
    set=$(cat "$root/root/picture-set")
    mkdir -p "$repo/pictures/$set"
    cp "$root/root/tramolivenga/pictures/$set"/*.png "$repo/pictures/$set/"
    echo "fresh_machine: $release's pictures in $repo/pictures/$set/ (git status pictures docs) in $((SECONDS - start)) s"
    exit
fi
if [ "$path" = faults ]; then
    step faults no "bash tools/setup.sh && bash faults/plant.sh ${plant_arguments[*]}" ||
        failed "the planted faults were not run through"
    sed -n '/^ *[0-9]* | id |/,$p' "$logs/faults.log" | sed 's/^ *[0-9]* //'
    echo "fresh_machine: $release's planted faults in $((SECONDS - start)) s; the log is $logs/faults.log"
    exit
fi
step "run, no display" no "$run_command" && failed "the run command started with no display"
advice=$(sed -n 's/^ *[0-9]* \+\(xvfb-run .*\)/\1/p' <<<"$step_log")
[ -n "$advice" ] || failed "the run command without a display gave no xvfb-run advice"
report
step "run, its advice" yes "$advice" || failed "its advice did not keep the program running"
report
step "test" no "$test_command" || failed "the test command failed"
report
step "run, on a display" yes "Xvfb :73 -screen 0 1280x800x24 -nolisten tcp & export DISPLAY=:73 && sleep 2 && $run_command" ||
    failed "the run command on a display did not keep the program running"
report
echo "fresh_machine: $release, $path path: all three passed in $((SECONDS - start)) s; the logs are in $logs"
