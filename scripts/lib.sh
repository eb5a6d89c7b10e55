# Shared by scripts/run and scripts/test: the Debian packages the project needs, the build, and
# the private bus. Source it; it defines functions and changes nothing by itself.

CM_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# qtbase5-dev, qtbase5-dev-tools, cmake, g++, make: the build. dbus-daemon, dbus-bin: the private
# bus, dbus-send and dbus-monitor. dbus-system-bus-common: the system bus configuration that the
# bus policy test starts its bus with. util-linux: setpriv, with which that test runs clients as
# other users. liblouis-data: the braille tables whose metadata the service lists.
# libglib2.0-bin (gdbus) and systemd (busctl): the command-line clients the end-to-end tests and
# the demo use. jq: the simulated tools read JSON settings with it. openssl: scripts/make-root
# makes real self-signed certificates for the web server with it. clang, libclang-rt-14-dev
# (libFuzzer and the sanitizer runtimes) and llvm (llvm-symbolizer, for readable stack traces):
# the fuzz targets that scripts/fuzz builds and scripts/test runs briefly.
CM_PACKAGES="qtbase5-dev qtbase5-dev-tools cmake g++ make dbus-daemon dbus-bin dbus-system-bus-common util-linux liblouis-data libglib2.0-bin systemd jq openssl clang libclang-rt-14-dev llvm"

cm_install_packages() {
    local missing=""
    for package in $CM_PACKAGES; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
    done
    [ -z "$missing" ] && return 0
    echo "Installing Debian packages:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# cm_build BUILD_DIR [cmake options...]
cm_build() {
    local build_dir=$1
    shift
    cmake -S "$CM_SOURCE_DIR" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null &&
        cmake --build "$build_dir" -j "$(nproc)"
}

# cm_start_bus: starts a private dbus-daemon with the project's configuration and sets
# CM_BUS_ADDRESS and CM_BUS_PID.
cm_start_bus() {
    local output
    output=$(dbus-daemon --config-file="$CM_SOURCE_DIR/dbus/private-bus.conf" --fork --print-address=1 --print-pid=1) || return 1
    CM_BUS_ADDRESS=$(echo "$output" | sed -n 1p)
    CM_BUS_PID=$(echo "$output" | sed -n 2p)
}

# cm_wait_ready ROOT PID: waits until the service watcher file says ready (or the daemon died).
cm_wait_ready() {
    local ready_file="$1/var/run/service-watcher/configuration-manager"
    for _ in $(seq 1 300); do
        [ "$(cat "$ready_file" 2>/dev/null)" = "1" ] && return 0
        kill -0 "$2" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# The simulated peer services (sim/peers), one sim-peer process per role.
CM_PEER_ROLES="speech-daemon error-handler state-handler document-manager network-manager print-manager"

# cm_start_peers BINARY_DIR ROOT: starts every peer on the bus of DBUS_SYSTEM_BUS_ADDRESS, waits
# (bounded) until each is on the bus and sets CM_PEER_PIDS; fails when one does not come up.
cm_start_peers() {
    local binary_dir=$1 root=$2 role pid
    CM_PEER_PIDS=""
    for role in $CM_PEER_ROLES; do
        rm -f "$root/var/run/sim/$role.pid"
        CONFIGURATION_MANAGER_ROOT="$root" nohup "$binary_dir/sim/peers/sim-peer" "$role" </dev/null >>"$root/var/log/sim-peers.log" 2>&1 &
        pid=$!
        CM_PEER_PIDS="$CM_PEER_PIDS $pid"
        for _ in $(seq 1 100); do
            [ -s "$root/var/run/sim/$role.pid" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        [ -s "$root/var/run/sim/$role.pid" ] || { echo "sim-peer $role did not come up" >&2; return 1; }
    done
}
