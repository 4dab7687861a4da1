# Everything comes from Debian's packages; scripts/setup-deps.sh installs them.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Test)
find_package(PkgConfig REQUIRED)
pkg_check_modules(HIDAPI REQUIRED IMPORTED_TARGET hidapi-hidraw)
pkg_check_modules(UDEV REQUIRED IMPORTED_TARGET libudev)
pkg_check_modules(UMOCKDEV IMPORTED_TARGET umockdev-1.0)
find_program(UMOCKDEV_WRAPPER umockdev-wrapper)
