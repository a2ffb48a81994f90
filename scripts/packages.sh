# Package lists shared by the project's scripts.
# shellcheck disable=SC2034
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config rapidjson-dev)
GUI_PACKAGES=(qt6-base-dev)
TEST_PACKAGES=(clang libclang-rt-14-dev libgtest-dev git)
BENCH_PACKAGES=(rapidjson-dev)
