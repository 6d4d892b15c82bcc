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
# Starts Xvfb on a free display and waits until it takes connections; sets xvfb_pid and
# DISPLAY, and makes Qt use it. The display number is drawn at random from a wide range, never
# the lowest free one: a display that another run's server has only just given up may still
# lose its socket to that server's exit. -noreset keeps the server as it is when its last
# client goes, so a program started again finds it ready.
start_xvfb() { # scratch folder, [screen size, 1024x768 unless given]
    local n display
    for _ in $(seq 20); do
        n=$((1000 + RANDOM % 30000))
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        : > "$1/displayfd"
        exec 3<> "$1/displayfd"
        Xvfb ":$n" -displayfd 3 -noreset -screen 0 "${2:-1024x768}x24" -nolisten tcp \
            >/dev/null 2>&1 &
        xvfb_pid=$!
        display=
        for _ in $(seq "${E2E_WAIT:-300}"); do
            display=$(head -n1 "$1/displayfd" 2>/dev/null || true)
            [ -n "$display" ] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        exec 3>&-
        if [ -n "$display" ] && xdpyinfo -display ":$display" >/dev/null 2>&1; then
            export DISPLAY=":$display"
            unset QT_QPA_PLATFORM
            return 0
        fi
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    done
    fail "no Xvfb display could be started"
}
# Runs the calling script again on a session bus of its own, where it has none: every desktop
# session has one. Without it, Qt's accessibility bridge has libdbus try to start one
# (dbus-launch) before a program's first window is mapped, some 10 ms no desktop user waits for.
# Call it first: on_session_bus "$0" "$@"
on_session_bus() {
    if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
        exec dbus-run-session -- "$@" 2> >(grep -v "Failed to set fd limit" >&2)
    fi
}
# Ends the Xvfb and waits until it has gone, with its socket.
stop_xvfb() {
    [ -n "${xvfb_pid:-}" ] || return 0
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
}
# Makes the scratch folder $work and starts the Xvfb; both go when the script ends.
begin_e2e() { # [screen size]
    work=$(mktemp -d)
    xvfb_pid=
    trap 'stop_xvfb; rm -rf "$work"' EXIT
    start_xvfb "$work" "$@"
}
# A fresh copy of the built program folder in the scratch folder: $folder.
copy_program() { # program folder
    folder="$work/zephkin"
    cp -r "$1" "$folder"
}
# Starts openbox and waits until it has announced itself on the root window: a window mapped
# while the window manager is still starting may be dropped, and never shown.
start_wm() {
    openbox --sm-disable >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq "${E2E_WAIT:-300}"); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    fail "the window manager did not start"
}
# Starts the program of the folder in the background ($pid; its error output goes to
# $work/stderr-<tag>) and waits for its first window ($wid).
start_program() { # program folder, tag, [title of the first window]
    "$1/zephkin" 2>"$work/stderr-$2" &
    pid=$!
    wid=$(find_window "${3:-Common words|Word practice}") ||
        fail "the first window did not open ($2)"
}
# The navigation entries by their shortcuts, and the title of the window each opens.
declare -A entry_key=([keys]=ctrl+1 [words]=ctrl+2 [article]=ctrl+3 [game]=ctrl+4
                      [progress]=ctrl+5 [about]=F1)
declare -A entry_title=([keys]="Keys practice" [words]="Common words|Word practice"
                        [article]="Article practice" [game]="^Typing Zephkin$"
                        [progress]="^ Progress$" [about]="About")
# Where an entry stands on the banner of the 800 x 600 window (for the one run that clicks).
declare -A entry_x=([keys]=228 [words]=338 [article]=456 [game]=580 [progress]=682)
# Waits until the window has the keyboard focus, asking for it once.
wait_focus() { # window
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    for _ in $(seq "${E2E_WAIT:-300}"); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    fail "window $1 did not take the focus"
}
# Opens the window of an entry from the window given, by its shortcut once that window has
# the focus, and prints the id of the window that shows it. A practice mode is a page of the
# program's one window: that window, found by the new page's caption in its title. Progress
# and About open as windows of their own.
open_entry() { # entry, window to open it from, [click: use the banner instead of the key]
    local next
    wait_focus "$2"
    if [ "${3:-}" = click ]; then
        xdotool mousemove --window "$2" "${entry_x[$1]}" 39 click 1
    else
        xdotool key "${entry_key[$1]}"
    fi
    next=$(find_window "${entry_title[$1]}") || fail "the $1 window did not open"
    case $1 in
    progress | about) ;;
    *) [ "$next" = "$2" ] || fail "the $1 page opened in a new window $next, not in $2" ;;
    esac
    echo "$next"
}
# An SQL query on the history of the program copy in $folder; the rows' values joined by "|".
history() { # query
    python3 -c 'import sqlite3, sys
print("|".join(str(v) for row in sqlite3.connect(sys.argv[1]).execute(sys.argv[2]) for v in row))' \
        "$folder/history.db" "$1"
}
# The text of a message box, as Ctrl+C copies it to the clipboard.
box_text() { # window
    local text
    wait_focus "$1"
    xdotool key ctrl+c
    for _ in $(seq 50); do
        text=$(xclip -selection clipboard -o 2>/dev/null || true)
        [ -n "$text" ] && { echo "$text"; return 0; }
        sleep 0.1
    done
    fail "the message box copied no text"
}
# Waits until a file is there with something in it.
wait_file() { # path, what failed when it does not come
    for _ in $(seq "${E2E_WAIT:-300}"); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    fail "$2"
}
