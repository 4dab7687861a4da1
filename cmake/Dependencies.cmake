# Everything comes from Debian's packages; scripts/setup-deps.sh installs them.
# Every find_package of the project is here.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Svg Test)
find_package(PkgConfig REQUIRED)
pkg_check_modules(HIDAPI REQUIRED IMPORTED_TARGET hidapi-hidraw)
pkg_check_modules(UDEV REQUIRED IMPORTED_TARGET libudev)
# Optional: without it the end-to-end tests, the demo and bench_link are
# not built.
pkg_check_modules(UMOCKDEV IMPORTED_TARGET umockdev-1.0)
find_program(UMOCKDEV_WRAPPER umockdev-wrapper)
