# Shared by the scripts that run the program natively on Wayland (sourced): a private headless
# sway compositor in a scratch folder, and commands run in its session. Sway will not run as
# root, so when the script is root both sway and the program run as an unprivileged user.

# Why Wayland cannot be tried here, or nothing when everything needed is installed.
wayland_missing() {
    local tool
    for tool in sway swaymsg "$@"; do
        command -v "$tool" >/dev/null || { echo "$tool is not installed"; return; }
    done
    compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
        echo "Qt's Wayland platform (qt6-wayland) is not installed"
}

# Starts sway headless with its runtime folder in the scratch folder; sets sway_pid and the
# array as_wl_user, a prefix that runs a command as the compositor's user in its session.
# Returns 1 when the compositor does not start.
start_sway() { # scratch folder
    local run="$1/wayland-run" user=()
    mkdir -p "$run"
    chmod 700 "$run"
    if [ "$(id -u)" -eq 0 ]; then
        user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
        chown nobody:nogroup "$run"
        chmod 755 "$1"
    fi
    printf 'xwayland disable\noutput HEADLESS-1 resolution 1024x768\n' > "$1/sway.config"
    chmod 644 "$1/sway.config"
    as_wl_user=("${user[@]}" env -i PATH=/usr/bin:/bin HOME="$1" XDG_RUNTIME_DIR="$run"
                LANG=C.UTF-8)
    # No GPU is needed: the software renderer, no input devices, one virtual output.
    "${as_wl_user[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$1/sway.config" >"$1/sway.log" 2>&1 &
    sway_pid=$!
    local display socket
    for _ in $(seq 100); do
        kill -0 "$sway_pid" 2>/dev/null || return 1
        display=$(compgen -G "$run/wayland-*[0-9]" | head -n1 || true)
        socket=$(compgen -G "$run/sway-ipc.*.sock" | head -n1 || true)
        if [ -S "$display" ] && [ -S "$socket" ] &&
            "${as_wl_user[@]}" SWAYSOCK="$socket" swaymsg -t get_version >/dev/null 2>&1; then
            as_wl_user+=(WAYLAND_DISPLAY="${display##*/}" SWAYSOCK="$socket")
            return 0
        fi
        sleep 0.1
    done
    return 1
}

stop_sway() {
    [ -n "${sway_pid:-}" ] && kill "$sway_pid" 2>/dev/null
    sway_pid=
}

# Makes a file or folder the compositor's user's, so that a program run as that user can
# write there.
give_to_wl_user() {
    [ "$(id -u)" -ne 0 ] || chown -R nobody:nogroup "$@"
}

# The program's top-level windows in the compositor's tree, one line each: its id, the place
# and size of what the program draws, and its title ("<id> <x>,<y> <width>x<height> <title>").
wl_windows() { # pid
    "${as_wl_user[@]}" swaymsg -t get_tree 2>/dev/null | python3 -c '
import json, sys
pid = int(sys.argv[1])
def walk(node):
    if node.get("pid") == pid and node.get("type") in ("con", "floating_con"):
        r, w = node["rect"], node["window_rect"]
        print(node["id"], "%d,%d" % (r["x"] + w["x"], r["y"] + w["y"]),
              "%dx%d" % (w["width"], w["height"]), node.get("name") or "")
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))' "$1"
}
