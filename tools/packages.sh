# The Debian packages the project needs, by purpose. Sourced by tools/run and tools/test.
BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libicu-dev
  libgtest-dev libbenchmark-dev fonts-dejavu-core dpkg-dev file libcups2-dev libavahi-client-dev)
TEST_PACKAGES=(locales xvfb xauth xfonts-base fonts-wqy-microhei openbox xdotool x11-utils cups cups-client cups-bsd cups-ipp-utils cups-filters poppler-utils
  qt6-gtk-platformtheme libsm-dev weston qt6-wayland
  orca speech-dispatcher at-spi2-core dbus python3-gi gir1.2-atspi-2.0
  desktop-file-utils appstream librsvg2-bin man-db debhelper lintian git
  clang-14 libclang-rt-14-dev clang-tidy-14 cppcheck)
