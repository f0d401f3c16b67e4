#!/usr/bin/env bash
# Installs the Debian packages a purpose needs, when missing:
#   native  the program alone: the toolchain and the unwinder's and libdw's headers
#   tests   the native tests: GoogleTest, python3 with ezdxf, strace, the package tools
#   bench   the micro-benchmarks: Google Benchmark
#   win32   the Windows lane: the mingw-w64 cross compiler, the GoogleTest sources,
#           python3 with ezdxf for its e2e suites,
#           Wine with its 32-bit half (and so the i386 architecture)
# usage: scripts/install-deps.sh PURPOSE...   (several may be given; native is always in)
set -euo pipefail
native=(cmake g++ ninja-build pkg-config libunwind-dev libdw-dev ccache)
packages=("${native[@]}")
needs_i386=false
for purpose in "$@"; do
  case "$purpose" in
    native) ;;
    tests) packages+=(libgtest-dev libgmock-dev python3 python3-ezdxf strace util-linux dpkg-dev) ;;
    bench) packages+=(libbenchmark-dev python3 g++-multilib valgrind) ;;  # and the 32-bit text cores' instruction counts
    win32) packages+=(g++-mingw-w64-i686-posix googletest wine wine32:i386 python3 python3-ezdxf)
           needs_i386=true ;;
    *) echo "usage: $0 {native|tests|bench|win32}..." >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
apt_install() { $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
# wine32 is an i386 package: the architecture must be known before the package
# lists are fetched.
if $needs_i386 && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  $sudo apt-get update
  apt_install
else
  apt_install || { $sudo apt-get update && apt_install; }
fi
