# Shared by the end-to-end scripts (sourced): starting a private Xvfb and waiting for windows
# and programs, each for up to E2E_WAIT tenths of a second (30 s unless the script sets it):
# a loaded machine may take long to show a window, and a healthy run never waits that long.

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_bytes() { # file, printf format of the expected bytes
    local want got
    want=$(printf "$2" | od -An -c)
    got=$(od -An -c "$1" 2>/dev/null || echo missing)
    [ "$want" = "$got" ] || fail "$1 holds [$got], expected [$want]"
}
find_window() { # title pattern
    for _ in $(seq "${E2E_WAIT:-300}"); do
        wid=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$wid" ] && { echo "$wid"; return 0; }
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
start_xvfb() { # scratch folder
    exec 3<> "$1/displayfd"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
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
