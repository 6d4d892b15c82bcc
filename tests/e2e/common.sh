# Shared by the end-to-end scripts (sourced): starting a private Xvfb and waiting for windows
# and programs, each for up to E2E_WAIT tenths of a second (30 s unless the script sets it):
# a loaded machine may take long to show a window, and a healthy run never waits that long.

# On failure, what the program wrote to the stderr* files of the scratch folder is shown too.
fail() {
    echo "FAIL: $*" >&2
    [ -n "${work:-}" ] && tail -n 20 "$work"/stderr* 2>/dev/null >&2
    exit 1
}
expect_bytes() { # file, printf format of the expected bytes
    local want got
    want=$(printf "$2" | od -An -c)
    got=$(od -An -c "$1" 2>/dev/null || echo missing)
    [ "$want" = "$got" ] || fail "$1 holds [$got], expected [$want]"
}
# The first visible window whose title matches, other than the window given second; the third
# argument, when given, is how many tenths of a second to wait.
find_window() { # title pattern, [window to pass over], [tenths]
    local w
    for _ in $(seq "${3:-${E2E_WAIT:-300}}"); do
        for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
            [ "$w" != "${2:-}" ] && { echo "$w"; return 0; }
        done
        sleep 0.1
    done
    return 1
}
wait_exit() { # pid
    for _ in $(seq "${E2E_WAIT:-300}"); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    kill "$1" 2>/dev/null || true
    return 1
}
# Starts Xvfb on a free display (its number read from -displayfd into $1/displayfd), sets
# xvfb_pid and DISPLAY, and makes Qt use it.
start_xvfb() { # scratch folder, [screen size, 1024x768 unless given]
    exec 3<> "$1/displayfd"
    Xvfb -displayfd 3 -screen 0 "${2:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    local display=
    for _ in $(seq 50); do
        display=$(head -n1 "$1/displayfd" 2>/dev/null || true)
        [ -n "$display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$display"
    unset QT_QPA_PLATFORM
}
# Makes the scratch folder $work and starts the Xvfb; both go when the script ends.
begin_e2e() { # [screen size]
    work=$(mktemp -d)
    xvfb_pid=
    trap 'kill $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
    start_xvfb "$work" "$@"
}
