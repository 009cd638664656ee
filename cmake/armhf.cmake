# Cross build for the board (32-bit ARM, hard float) with Debian's cross
# compiler and the armhf packages of the libraries, installed beside the
# native ones (multiarch, so no sysroot is needed):
#   cmake -S . -B build-arm -DCMAKE_TOOLCHAIN_FILE=cmake/armhf.cmake
# The tests of such a build run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)

find_program(NVR_QEMU_ARM NAMES qemu-arm qemu-arm-static)
if(NVR_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${NVR_QEMU_ARM})
endif()
