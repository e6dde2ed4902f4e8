#!/bin/bash
# A notes folder that cannot be written loses nothing. The folder is a small tmpfs of its own:
# it fills up while the user types, the keys typed meanwhile are kept (what the pad and the
# dashboard say meanwhile: NoticeTest), and once space is free a SIGTERM still puts every key on
# disk. Remounted read-only, the folder cannot take the last keys at all: the program writes
# an emergency copy elsewhere, says where, and exits with a failure status.
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
e2e_setup "$1"
ID=3D4F1A2B-5C6E-4D7F-8A9B-0C1D2E3F4A5B

if ! mount -t tmpfs -o size=200k tmpfs "$APP_DATA" 2>/dev/null; then
    echo "skipped - mounting a tmpfs needs root (CAP_SYS_ADMIN)"
    e2e_finish
fi
unmount_data() { umount -l "$APP_DATA" 2>/dev/null; }
trap 'unmount_data; e2e_cleanup' EXIT

NOTE_AT="100 400 300 300"
on_disk() { grep -q "$1\"" "$NOTES"; }
logged() { grep -q "$1" "$APP_LOG"; }

# --- a full disk, then space again
one_note "$ID" "" true 100 200
start_app --login-item
focus_note
xdotool type --delay 20 "before"
check "the first keys are saved" wait_for 5 on_disk "before"
dd if=/dev/zero of="$APP_DATA/filler" bs=4k 2>/dev/null
xdotool type --delay 20 " during-full"
check "the failed save is logged once" wait_for 5 logged "save failed: No space left on device"
check "the keys typed while full are not on disk" on_disk "before"
rm -f "$APP_DATA/filler"
end_app TERM
status=$?
check "SIGTERM after space is free ends with status 0" [ "$status" -eq 0 ]
check "every key typed while the disk was full is on disk" on_disk "before during-full"
check "one line for the failure, none for the retries" [ "$(grep -c 'Quillhaven:' "$APP_LOG")" -eq 1 ]

# --- a folder gone read-only
: >"$APP_LOG"
start_app --login-item
focus_note
xdotool type --delay 20 " ro"
check "the keys are saved before the remount" wait_for 5 on_disk "before during-full ro"
mount -o remount,ro "$APP_DATA"
xdotool type --delay 20 " last"
check "the read-only folder is logged" wait_for 5 logged "save failed: Read-only file system"
end_app TERM
status=$?
check "SIGTERM with the folder still read-only ends with a failure status" [ "$status" -ne 0 ]
copy=$(find "$HOME" -name 'quillhaven-notes-unsaved-*.json' | head -1)
check "an emergency copy holds the last keys" grep -q "before during-full ro last\"" "$copy"
check "the log says where the copy is" logged "the notes were written to $copy"
check "the notes file is as it was" on_disk "before during-full ro"
e2e_finish
