# shellcheck shell=bash
# Sourced by the set-up commands: the Debian packages each of them needs, and the one place
# that installs them. As root it installs what is missing; otherwise it prints the one
# apt-get line and stops.

# The game and the headless simulator (scripts/play), and the install tree's icons;
# libjs-chart.js draws the charts of gulper-sim's report, which inlines it from
# /usr/share/javascript/chart.js.
GULPER_BUILD_PACKAGES="cmake make g++ pkg-config libsdl2-dev libsdl2-image-dev libfreetype-dev
  libfontconfig-dev fonts-dejavu-core libgl-dev libgl1-mesa-dri libpng-dev libjs-chart.js"
# The test suite (GULPER_TESTS): GoogleTest, the offscreen OpenGL contexts, the format check,
# the sanitizer and fuzzing compilers, what the whole-program tests drive the window with, and
# the checkers of the desktop entry, the AppStream metadata and the manual pages, and the
# interpreters the agent kits are played with (python3, nodejs).
GULPER_TEST_PACKAGES="libgtest-dev libgmock-dev libegl-dev libegl-mesa0 clang-format clang
  libclang-rt-14-dev xvfb xauth xdotool x11-apps x11-utils imagemagick faketime
  desktop-file-utils chromium appstream man-db python3 nodejs"
# The gulper Python module (GULPER_PYTHON) and its tests.
GULPER_PYTHON_PACKAGES="python3-dev python3-pybind11 pybind11-dev python3-numpy python3-pytest"
# pip install of the module (pyproject.toml) into a virtual environment that sees the above.
GULPER_PIP_PACKAGES="python3-venv python3-pip python3-setuptools python3-wheel"
# The benchmarks (GULPER_BENCH).
GULPER_BENCH_PACKAGES="libbenchmark-dev"
# scripts/measure: the game in a real X window.
GULPER_MEASURE_PACKAGES="xvfb xauth xdotool"
# Studies spread over hosts (the README's GNU parallel example, and scripts/shards-over-ssh,
# which plays it over a loopback sshd): parallel, ssh and sshd, and rsync, which parallel's
# --return and --transferfile use.
GULPER_SHARDS_PACKAGES="parallel openssh-client openssh-server rsync"
# The Debian package: cpack -G DEB works out its dependencies with dpkg-shlibdeps and file.
GULPER_PACKAGE_PACKAGES="dpkg-dev file"
# Checking the package as Debian would (scripts/fresh-check): lintian, and the AppStream
# metadata's validator.
GULPER_PACKAGE_CHECK_PACKAGES="lintian appstream"

# gulper_require_packages PACKAGE...: installs the missing ones (as root) or says how.
gulper_require_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Some packages are missing. Install them with:"
        echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}"
        exit 1
    fi
    echo "Installing the missing Debian packages and what they depend on:"
    echo "${missing[*]}" | fold -s -w 92 | sed 's/^/  /; s/ *$//'
    echo "This downloads up to a few hundred MB and takes one to several minutes on a fresh machine."
    export DEBIAN_FRONTEND=noninteractive
    local log
    log=$(mktemp)
    echo "  reading the package lists (apt-get update)"
    if ! apt-get update >"$log" 2>&1; then
        cat "$log"
        rm -f "$log"
        echo "apt-get update failed"
        exit 1
    fi
    # apt's own lines are many; show its summary and a progress line every 25 packages.
    local status=0
    (
        set -o pipefail
        apt-get install -y --no-install-recommends "${missing[@]}" 2>&1 | tee "$log" | awk '
            / newly installed, / { total = $1 + $3; print "  " $0; fflush(); next }
            /^Need to get / { print "  " $0; fflush(); next }
            /^Get:[0-9]+ / { if (++got % 25 == 0) { printf "  downloaded %d of %d\n", got, total; fflush() } next }
            /^Setting up / { if (++set % 25 == 0) { printf "  set up %d of %d\n", set, total; fflush() } next }
            END { if (set) printf "  set up %d packages\n", set }'
    ) || status=$?
    if [ "$status" -ne 0 ] || ! gulper_all_installed "${missing[@]}"; then
        tail -n 30 "$log"
        rm -f "$log"
        echo "apt-get install failed (its last lines are above)"
        exit 1
    fi
    rm -f "$log"
}

# gulper_all_installed PACKAGE...: true when every one is installed.
gulper_all_installed() {
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || return 1
    done
}

# gulper_configure BUILD_DIR [CMAKE_OPTION...]: configures the build folder. A new folder starts
# with the tests and benchmarks off (their default), so that building the game needs only the
# game's packages; an existing one keeps what it was given before, unless the options say
# otherwise.
gulper_configure() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}
