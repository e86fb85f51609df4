#!/usr/bin/env bash
# The free-space wipe's test drive: a 64 MiB ext4 image, loop-mounted on BUILD/wipe-image,
# whose folder "drive" the test prefix maps as a fixed drive. A folder, not the mount's
# root, since Wine shows a mount point as a link, which a run's sweeps report.
# Needs root (the tests run as root).
#
#   tools/test-drive.sh mount BUILD      # a fresh image at BUILD/wipe-drive.img, mounted
#   tools/test-drive.sh unmount BUILD    # unmounts it (if mounted) and removes the image
#   tools/test-drive.sh detach BUILD     # unmounts it, keeping the image (to read its bytes)
#   tools/test-drive.sh attach BUILD     # mounts the kept image again
#   tools/test-drive.sh remount BUILD ro|rw
# TEST_DRIVE_MIB sets the size of a fresh image (default 64).
set -euo pipefail
action=${1:?usage: test-drive.sh mount|unmount|remount BUILD [ro|rw]}
build=${2:?usage: test-drive.sh mount|unmount|remount BUILD [ro|rw]}
image="$build/wipe-drive.img"
mountpoint="$build/wipe-image"

detach() {
    mountpoint -q "$mountpoint" || return 0
    sync
    # The Wine server may still hold the drive's folders for a moment after its programs end.
    for _ in $(seq 1 50); do
        umount "$mountpoint" 2>/dev/null && return 0
        sleep 0.1
    done
    umount -l "$mountpoint"
}

attach() {
    mkdir -p "$mountpoint"
    mount -o loop "$image" "$mountpoint"
    # No clusters kept back for ext4's own needs either: the wipe must reach every free block.
    echo 0 >"/sys/fs/ext4/$(basename "$(findmnt -no SOURCE "$mountpoint")")/reserved_clusters"
    mkdir -p "$mountpoint/drive"
}

case "$action" in
    mount)
        detach
        mkdir -p "$build"
        rm -f "$image"
        truncate -s "${TEST_DRIVE_MIB:-64}M" "$image"
        # No blocks reserved for root: the wipe (as root) and df then see the same free space.
        # Small folders live in their inode, as on NTFS in their record: ext4 journals a folder's
        # own block, and a block freed before the journal writes it out keeps its old bytes,
        # which no file's write can reach.
        mkfs.ext4 -q -F -m 0 -b 4096 -O inline_data "$image"
        attach
        ;;
    unmount)
        detach
        rm -f "$image"
        ;;
    detach) detach ;;
    attach) attach ;;
    remount)
        mount -o "remount,${3:?ro or rw}" "$mountpoint"
        ;;
    *)
        echo "test-drive.sh: unknown action $action" >&2
        exit 2
        ;;
esac
