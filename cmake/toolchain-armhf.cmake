# Cross build for the embosser's controller, 32-bit ARM with hard float (Debian armhf), against
# the armhf Debian packages installed through multiarch (scripts/cross installs them). Programs
# that the build or the tests run go through qemu-arm.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
find_program(CM_QEMU_ARM NAMES qemu-arm-static qemu-arm REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CM_QEMU_ARM})
# The armhf libraries and CMake packages are found in the multiarch folders of /usr
# (/usr/lib/arm-linux-gnueabihf); Qt's moc is the build machine's (qtbase5-dev-tools).
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/arm-linux-gnueabihf/pkgconfig:/usr/share/pkgconfig)
