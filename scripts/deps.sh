# Sourced by the set-up commands: makes sure the Debian packages they need are installed.
# As root it installs what is missing; otherwise it prints the one apt-get line and stops.

GULPER_BUILD_PACKAGES="cmake make g++ pkg-config libsdl2-dev libsdl2-image-dev libpng-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core libgl-dev libgl1-mesa-dri libegl-dev
  libegl-mesa0"
GULPER_TEST_PACKAGES="libgtest-dev libgmock-dev libbenchmark-dev clang-format clang
  libclang-rt-14-dev xvfb xauth xdotool x11-apps imagemagick faketime"

gulper_require_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing missing packages: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "Some packages are missing. Install them with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
}
