# Package lists shared by the project's scripts.
# shellcheck disable=SC2034
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config rapidjson-dev)
GUI_PACKAGES=(qt6-base-dev)
TEST_PACKAGES=(clang libclang-rt-14-dev libgtest-dev git
  desktop-file-utils shared-mime-info libglib2.0-bin man-db groff-base)
# package.sh: cpack -G DEB with dpkg-shlibdeps (which needs file).
PACKAGE_PACKAGES=(dpkg-dev file)
BENCH_PACKAGES=(rapidjson-dev)
