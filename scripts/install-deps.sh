#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing:
# the native toolchain and libraries, and for the Windows lane the mingw-w64
# cross compiler, the GoogleTest sources and Wine with its 32-bit half.
set -euo pipefail
packages=(cmake g++ ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libunwind-dev libdw-dev ccache python3 python3-ezdxf util-linux dpkg-dev
          g++-mingw-w64-i686-posix googletest wine wine32:i386)
# "bench": also what the benchmarks of the 32-bit code need (a 32-bit
# native build of the text cores, and an instruction counter).
[ "${1:-}" = bench ] && packages+=(g++-multilib valgrind)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
install() { $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
# wine32 is an i386 package: the architecture must be known before the package
# lists are fetched.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  $sudo apt-get update
  install
else
  install || { $sudo apt-get update && install; }
fi
