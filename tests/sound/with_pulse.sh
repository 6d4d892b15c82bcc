#!/usr/bin/env bash
# Runs a command against a private PulseAudio server whose one sink, "rec", writes what it
# plays to the pipe named in SOUND_RECORDING_PIPE (16-bit mono, 44.1 kHz, at the pace of the
# clock). The server, its socket and its state live in a temporary folder and end with the
# command.
set -euo pipefail
work=$(mktemp -d)
server_pid=
cleanup() {
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/run"
export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
export PULSE_RUNTIME_PATH=$work/run/pulse PULSE_STATE_PATH=$work/state
socket=$work/run/native

# -n: no default script, so nothing but these modules (no hardware, no D-Bus, no X11).
# As root the server warns but runs in per-user mode, which is what a test wants.
env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS pulseaudio -n --daemonize=no --system=false \
    --exit-idle-time=-1 --use-pid-file=no --enable-memfd=no --log-target=stderr \
    --log-level=error \
    --load="module-pipe-sink sink_name=rec file=$work/rec.pipe rate=44100 channels=1 format=s16le use_system_clock_for_timing=yes" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$socket" \
    2>"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do
    [ -S "$socket" ] && break
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.05
done
if [ ! -S "$socket" ]; then
    echo "the private sound server did not start:" >&2
    cat "$work/server.log" >&2
    exit 1
fi
export PULSE_SERVER=unix:$socket SOUND_RECORDING_PIPE=$work/rec.pipe
"$@"
