# The Debian packages the project needs, by purpose. Sourced by tools/run,
# tools/test and tools/static-analysis.

# The clang that builds the fuzz targets (libFuzzer and the sanitizers'
# runtimes come with it) and runs clang-tidy: one version for all three.
# SELVARO_CLANG_VERSION names it; else it is the release's own clang, the
# version Debian's clang package stands for (14 on Debian 12, 19 on 13), so
# every machine of a release analyses with the same checks; else, where the
# package list has no clang package, the newest version whose three
# packages it has.
if [ -z "${SELVARO_CLANG_VERSION:-}" ]; then
  SELVARO_CLANG_VERSION=$(apt-cache depends clang 2>/dev/null |
    sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
  if [ -z "$SELVARO_CLANG_VERSION" ]; then
    SELVARO_CLANG_VERSION=$(apt-cache pkgnames clang-tidy- 2>/dev/null |
      sed -n 's/^clang-tidy-\([0-9][0-9]*\)$/\1/p' | sort -rn |
      while read -r version; do
        if apt-cache show "clang-$version" "libclang-rt-$version-dev" >/dev/null 2>&1; then
          echo "$version"; break
        fi
      done)
  fi
fi
export SELVARO_CLANG_VERSION

# Building and running the program (tools/run).
BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libicu-dev
  libgtest-dev libbenchmark-dev fonts-dejavu-core dpkg-dev file libcups2-dev libavahi-client-dev)
# What the everyday tools/test runs besides: the windows, a private CUPS
# scheduler, a real X display and the installed files' checks.
TEST_PACKAGES=(locales xvfb xauth xfonts-base fonts-wqy-microhei fonts-noto-mono openbox xdotool x11-utils cups cups-client cups-bsd cups-ipp-utils cups-filters poppler-utils
  qt6-gtk-platformtheme libsm-dev weston qt6-wayland
  at-spi2-core dbus python3-gi gir1.2-atspi-2.0
  desktop-file-utils appstream librsvg2-bin man-db)
# What only tools/test --full runs: the fuzz targets and the static analysis
# (clang, its sanitizer runtimes, clang-tidy, cppcheck), the Debian
# package's build and lintian, and the charter heard through Orca.
FULL_PACKAGES=("clang-$SELVARO_CLANG_VERSION" "libclang-rt-$SELVARO_CLANG_VERSION-dev"
  "clang-tidy-$SELVARO_CLANG_VERSION" cppcheck debhelper lintian git orca speech-dispatcher)
