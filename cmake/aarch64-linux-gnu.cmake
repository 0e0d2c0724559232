# Cross build for 64-bit ARM Linux with Debian's crossbuild-essential-arm64;
# the target's libraries come from Debian's arm64 packages (multiarch), and
# the binaries run under qemu-user, binfmt_misc or not.
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
# The binaries load Debian's arm64 libc6 (which libmpfr-dev:arm64 brings) from
# /lib/aarch64-linux-gnu with its own loader, /lib/ld-linux-aarch64.so.1. The
# cross toolchain's copy under /usr/aarch64-linux-gnu is another build of
# glibc: its loader with the multiarch libc hangs in fork, so no -L there.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /)
# Programs are the build machine's; libraries, headers and packages the target's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
