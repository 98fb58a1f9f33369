# Debian 12 packages, sourced by the run and test commands.
SPINDREL_BUILD_PACKAGES=(cmake g++ make pkg-config qt6-base-dev libx11-dev libxss-dev
                         qt6-multimedia-dev gstreamer1.0-plugins-good qt6-svg-dev
                         libxnnpack-dev libpthreadpool-dev
                         libwayland-dev wayland-protocols plasma-wayland-protocols)
# What the running app needs besides its libraries: a colour emoji face for the marks its texts
# carry (the risk marks, the reset and cadence pictographs).
SPINDREL_RUN_PACKAGES=(fonts-noto-color-emoji)
SPINDREL_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth dbus dbus-x11 dunst
                        xdotool trayer x11-utils sway wtype kwin-wayland qt6-wayland
                        gnome-shell gjs gnome-shell-extension-appindicator gir1.2-gdkpixbuf-2.0
                        libglib2.0-bin dconf-service)
# For building and checking the Debian package, and proving it on a fresh Debian root
# (scripts/check-package-on-clean-debian); the test command needs none of them.
SPINDREL_PACKAGING_PACKAGES=(debhelper dpkg-dev fakeroot lintian desktop-file-utils appstream man-db)
SPINDREL_CLEAN_ROOT_PACKAGES=(debootstrap xvfb x11-utils x11-apps xdotool dbus dunst)

# Installs whichever of the named packages are missing, as root or through sudo.
spindrel_install_missing() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# spindrel_build FOLDER CMAKE-ARGUMENTS...: configures and builds in that folder of the source
# tree, optimised with debug information unless the arguments choose another build type. Where
# ccache is installed it keeps the compiler's work, with paths taken relative to the tree, so
# that a fresh clone elsewhere builds from what an earlier one compiled.
spindrel_build() {
    local folder="$SPINDREL_ROOT/$1"
    local started=$SECONDS
    local cache=()
    shift
    if command -v ccache >/dev/null; then
        cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        export CCACHE_BASEDIR="$SPINDREL_ROOT" CCACHE_NOHASHDIR=1
    fi
    cmake -S "$SPINDREL_ROOT" -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cache[@]}" "$@"
    cmake --build "$folder" -j "$(nproc)"
    echo "Built $folder in $((SECONDS - started)) s"
}
