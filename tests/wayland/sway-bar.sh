# shellcheck shell=bash disable=SC2034
# The settings below are read by run-wayland, which sources this file.
# sway as on a desktop: with swaybar along the top edge, otherwise as sway.sh.
. "$WL_DIR/sway.sh"
SWAY_CONFIG_EXTRA='bar {
    position top
}'
TITLE_Y=36 # foot's title, below the bar
