# Sourced by the other scripts: makes sure the Debian packages they need are
# installed. As root it installs what is missing; otherwise it prints the
# exact command to run and stops.

# Building the editor and its tests (desktop-file-validate checks the installed entry).
VANTROPE_BUILD_PACKAGES="cmake make g++ pkg-config libfltk1.3-dev libpng-dev zlib1g-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libgtest-dev libgmock-dev libbenchmark-dev
  libsndfile1-dev libsdl2-dev libaubio-dev
  desktop-file-utils"
# Running it without a display, driving it, and looking at it.
VANTROPE_DISPLAY_PACKAGES="xvfb xauth xdotool xclip x11-utils imagemagick python3"
# Sanitizer and fuzzing builds.
VANTROPE_FUZZ_PACKAGES="clang libclang-rt-14-dev"

ensure_packages() {
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
        apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || {
            echo "Package installation failed." >&2
            exit 1
        }
    else
        echo "Missing Debian packages. Run this, then try again:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
}
