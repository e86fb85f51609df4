#!/usr/bin/env bash
# The free-space wipe's test drive: a 64 MiB ext4 image, loop-mounted on a folder that
# the test prefix maps as a fixed drive. Needs root (the tests run as root).
#
#   tools/test-drive.sh mount BUILD      # a fresh image at BUILD/wipe-drive.img on BUILD/drive-w
#   tools/test-drive.sh unmount BUILD    # unmounts it (if mounted) and removes the image
#   tools/test-drive.sh remount BUILD ro|rw
set -euo pipefail
action=${1:?usage: test-drive.sh mount|unmount|remount BUILD [ro|rw]}
build=${2:?usage: test-drive.sh mount|unmount|remount BUILD [ro|rw]}
image="$build/wipe-drive.img"
mountpoint="$build/drive-w"

unmount() {
    if mountpoint -q "$mountpoint"; then
        umount "$mountpoint" 2>/dev/null || umount -l "$mountpoint"
    fi
}

case "$action" in
    mount)
        unmount
        mkdir -p "$mountpoint"
        rm -f "$image"
        truncate -s 64M "$image"
        # No blocks reserved for root: the wipe (as root) and df then see the same free space.
        mkfs.ext4 -q -F -m 0 -b 4096 -O inline_data "$image"
        mount -o loop "$image" "$mountpoint"
        # Nor the clusters ext4 keeps back for its own needs: the wipe must reach every free block.
        echo 0 >"/sys/fs/ext4/$(basename "$(findmnt -no SOURCE "$mountpoint")")/reserved_clusters"
        ;;
    unmount)
        unmount
        rm -f "$image"
        ;;
    remount)
        mount -o "remount,${3:?ro or rw}" "$mountpoint"
        ;;
    *)
        echo "test-drive.sh: unknown action $action" >&2
        exit 2
        ;;
esac
