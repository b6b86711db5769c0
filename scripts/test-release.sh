#!/usr/bin/env bash
# Runs the README's test command, scripts/test.sh, on a fresh Debian RELEASE (trixie,
# bookworm, ...): in a minimal system made with debootstrap, on a clone of this repository's
# committed HEAD. Its result and exit status are those of the test command there.
#
#   scripts/test-release.sh RELEASE [COMMAND [ARGUMENT...]]
#
# COMMAND (default scripts/test.sh) runs as root in the clone, with a clean environment but
# for CI and no standard input; for example `scripts/test-release.sh trixie scripts/test.sh -L
# unit`. The system shares the machine's network, /dev and /sys: an X server started there
# must pick a free display number itself (Xvfb -displayfd), as the window tests' does.
#
# It needs root (debootstrap, chroot, mounts) and Debian's archive, the one the machine's own
# apt sources name. The machine's packages are never touched: without an installed
# debootstrap it unpacks debootstrap's package into the cache and runs it from there.
#
# The cache, DRAVOLT_RELEASE_CACHE (default $XDG_CACHE_HOME/dravolt-releases, or
# /var/cache/dravolt-releases when XDG_CACHE_HOME is not set), holds per release:
#   RELEASE/base/         the minimal system exactly as debootstrap made it;
#   RELEASE/setup-HASH/   what the repository's set-up (scripts/setup.sh --install-only,
#                         whose contents give HASH) installed on top of it: an overlay layer.
# A run stacks an empty layer of its own on these two (overlayfs), clones the repository into
# it and runs the command there; the layer is thrown away afterwards, so every run starts
# from the same clean system and never writes into the cache. A changed set-up makes a new
# layer (the old one goes); remove RELEASE/ to start again from the archive's current packages.
set -euo pipefail

release=${1:-}
if ! [[ $release =~ ^[a-z]+$ ]]; then
    echo "usage: scripts/test-release.sh RELEASE [COMMAND [ARGUMENT...]]   (for example: trixie)" >&2
    exit 2
fi
shift
command=("${@:-scripts/test.sh}")
[ "$(id -u)" -eq 0 ] || { echo "scripts/test-release.sh needs root (debootstrap, chroot, mounts)" >&2; exit 2; }

repo=$(cd "$(dirname "$0")/.." && pwd)
head=$(git -C "$repo" rev-parse HEAD)
cache_root=${DRAVOLT_RELEASE_CACHE:-${XDG_CACHE_HOME:-/var/cache}/dravolt-releases}
mkdir -p "$cache_root"
cache_root=$(realpath "$cache_root")
case "$cache_root/" in
"$repo"/*) echo "the cache '$cache_root' must lie outside the repository" >&2; exit 2 ;;
esac
cache=$cache_root/$release
mkdir -p "$cache"

# Every mount is made below one of these folders, and the clean-up removes whatever is
# mounted below them: the run's own root, or a cache layer that is being made.
scratch=""
building=""
child=""

mounted_below() { # FOLDER: the mount points below it, deepest first
    awk -v dir="$1/" 'index($2 "/", dir) == 1 { print $2 }' /proc/self/mounts | sort -r
}

unmount_below() { # FOLDER
    local point
    for point in $(mounted_below "$1"); do
        umount "$point" 2> /dev/null || umount -l "$point" 2> /dev/null || true
    done
}

# Ends, by process id, every process whose root is the given system: the test command and
# anything it left running there (an X server, a game); again while any starts meanwhile.
end_processes_in() { # ROOT
    local proc found
    for _ in 1 2 3 4 5; do
        found=0
        for proc in /proc/[0-9]*; do
            if [ "$(readlink "$proc/root" 2> /dev/null)" = "$1" ]; then
                kill -KILL "${proc#/proc/}" 2> /dev/null && found=1
            fi
        done
        [ "$found" = 1 ] || return 0
        sleep 0.2
    done
}

clean_up() {
    local status=$? dir left=0
    trap - EXIT INT TERM
    [ -z "$child" ] || kill -KILL -- "-$child" 2> /dev/null || true
    for dir in $scratch $building; do
        [ -d "$dir" ] || continue
        end_processes_in "$dir/root"
        unmount_below "$dir"
        if [ -n "$(mounted_below "$dir")" ]; then
            echo "still mounted below $dir: $(mounted_below "$dir" | tr '\n' ' ')" >&2
            left=1
        else
            rm -rf --one-file-system "$dir"
        fi
    done
    [ "$left" = 0 ] || status=1
    exit "$status"
}
trap clean_up EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# One run at a time makes or replaces a cache layer; runs that only use them share the lock.
exec 9> "$cache/lock"

# The system's own mounts for a chroot: /proc, and /dev and /sys as the machine has them,
# bound recursively and as slaves, so that unmounting them there never reaches the machine's.
mount_system() { # ROOT
    mount -t proc proc "$1/proc"
    local dir
    for dir in dev sys; do
        mount --rbind "/$dir" "$1/$dir"
        mount --make-rslave "$1/$dir"
    done
}

# The archive the machine's apt sources name for Debian's packages.
archive() {
    local uri
    uri=$(grep -hoE '(^URIs:|^deb) +[a-z]+://[^ ]+/debian/?( |$)' /etc/apt/sources.list.d/*.sources \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2> /dev/null | head -1 |
        awk '{ print $2 }') || true
    echo "${uri:-http://deb.debian.org/debian}"
}

# Sets debootstrap to the command that runs it: the machine's, or one unpacked into the cache.
find_debootstrap() {
    if command -v debootstrap > /dev/null; then
        debootstrap=(debootstrap)
        return
    fi
    local tool=$cache_root/debootstrap
    if [ ! -x "$tool/usr/sbin/debootstrap" ]; then
        local download
        download=$(mktemp -d)
        chown _apt "$download" 2> /dev/null || true
        (cd "$download" && { apt-get download -qq debootstrap 2> /dev/null ||
            { apt-get update -qq && apt-get download -qq debootstrap; }; }) >&2
        rm -rf "$tool.new"
        dpkg-deb -x "$download"/debootstrap_*.deb "$tool.new"
        rm -rf "$download" "$tool"
        mv "$tool.new" "$tool"
    fi
    debootstrap=(env "DEBOOTSTRAP_DIR=$tool/usr/share/debootstrap" "$tool/usr/sbin/debootstrap")
}

# The minimal system, with the release's updates and security archive in its sources.
make_base() {
    local mirror
    mirror=$(archive)
    echo "=== making a minimal Debian $release in $cache/base (debootstrap from $mirror)"
    building=$cache/base.new
    rm -rf --one-file-system "$building"
    mkdir -p "$building"
    find_debootstrap
    waited "${debootstrap[@]}" --variant=minbase "$release" "$building/root" "$mirror" \
        > "$building/debootstrap.log" 2>&1 || { tail -20 "$building/debootstrap.log" >&2; return 1; }
    local security=${mirror%/debian}/debian-security
    echo "deb $mirror $release main" > "$building/root/etc/apt/sources.list"
    if [ "$release" != sid ]; then # the unstable release has neither
        echo "deb $mirror $release-updates main" >> "$building/root/etc/apt/sources.list"
        echo "deb $security $release-security main" >> "$building/root/etc/apt/sources.list"
    fi
    unmount_below "$building"
    [ -z "$(mounted_below "$building")" ]
    mv "$building/root" "$cache/base"
    rm -rf --one-file-system "$building"
    building=""
}

# Clones the committed HEAD into ROOT/srv/dravolt, with the machine's git: the bare system
# has none.
clone_into() { # ROOT
    git clone -q --no-checkout "$repo" "$1/srv/dravolt"
    git -C "$1/srv/dravolt" checkout -q --detach "$head"
}

# Runs a command in a session of its own and waits for it: an interruption reaches the
# clean-up at once, and the clean-up ends the whole session.
waited() { # COMMAND...
    setsid "$@" &
    child=$!
    local status=0
    wait "$child" || status=$?
    child=""
    return $status
}

# Runs a command as root in the system at ROOT, in the clone, with a clean environment.
in_system() { # ROOT COMMAND...
    local root=$1
    shift
    waited chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin CI="${CI:-}" \
        /bin/bash -c 'cd /srv/dravolt && exec "$@"' in_system "$@"
}

mount_overlay() { # DIR LOWER...: DIR/root is the writable system, its changes go to DIR/upper
    local dir=$1 lower
    shift
    lower=$(IFS=:; echo "$*")
    mkdir -p "$dir/upper" "$dir/work" "$dir/root"
    mount -t overlay overlay -o "lowerdir=$lower,upperdir=$dir/upper,workdir=$dir/work" "$dir/root"
}

# The set-up's packages on top of the minimal system; a second set-up must install nothing.
make_setup_layer() { # NAME
    echo "=== installing the set-up's packages into a cache layer ($cache/$1)"
    building=$cache/$1.new
    rm -rf --one-file-system "$building"
    mount_overlay "$building" "$cache/base"
    mount_system "$building/root"
    clone_into "$building/root"
    in_system "$building/root" scripts/setup.sh --install-only > "$building/setup.log" 2>&1 ||
        { tail -30 "$building/setup.log" >&2; return 1; }
    local again
    again=$(in_system "$building/root" scripts/setup.sh --install-only 2>&1)
    [ -z "$again" ] || { echo "a second set-up still does something: $again" >&2; return 1; }
    in_system "$building/root" apt-get clean
    rm -rf "$building/root/srv/dravolt"
    unmount_below "$building"
    [ -z "$(mounted_below "$building")" ]
    local old
    for old in "$cache"/setup-*; do # the layers of earlier set-ups
        [ "$old" = "$building" ] || rm -rf --one-file-system "$old"
    done
    mv "$building/upper" "$cache/$1"
    rm -rf --one-file-system "$building"
    building=""
}

layer=setup-$(git -C "$repo" show "$head:scripts/setup.sh" | sha256sum | cut -c1-16)
flock -s 9
if [ ! -d "$cache/base" ] || [ ! -d "$cache/$layer" ]; then
    flock -x 9
    # Not on the right of || : that would turn off set -e inside them.
    if [ ! -d "$cache/base" ]; then make_base; fi
    if [ ! -d "$cache/$layer" ]; then make_setup_layer "$layer"; fi
    flock -s 9
fi

scratch=$(mktemp -d "$cache/run.XXXXXX")
mount_overlay "$scratch" "$cache/$layer" "$cache/base"
mount_system "$scratch/root"
clone_into "$scratch/root"
name="Debian $(cat "$scratch/root/etc/debian_version") ($release)"
echo "=== $name: ${command[*]} (commit ${head:0:12}, in a fresh system from $cache)"
status=0
in_system "$scratch/root" "${command[@]}" || status=$?
if [ $status = 0 ]; then
    echo "=== $name: ${command[*]} passed"
else
    echo "=== $name: ${command[*]} FAILED (exit $status)"
fi
exit $status
