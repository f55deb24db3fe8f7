#!/bin/sh
# Runs the program given in a private D-Bus session with a gnome-keyring of its own,
# unlocked, in a temporary home: the desktop's own keyring is never touched. Fails saying
# why when the session or the keyring cannot be had.
set -eu
program=$1
for tool in dbus-run-session:dbus-daemon dbus-send:dbus-bin gnome-keyring-daemon:gnome-keyring; do
  if ! command -v "${tool%%:*}" >/dev/null; then
    echo "${tool%%:*} is missing (Debian package ${tool##*:}; scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
status=0
dbus-run-session -- sh -c '
  if ! printf keyring-test | gnome-keyring-daemon --unlock --components=secrets >/dev/null; then
    echo "gnome-keyring-daemon did not start in the private session" >&2
    exit 1
  fi
  # It takes its name on the bus a moment later.
  for _ in $(seq 50); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q "boolean true" && break
    sleep 0.1
  done
  exec "$0"' "$program" || status=$?
exit $status
