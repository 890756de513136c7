# Installs the Debian packages the build needs when they are missing and we
# are root; sourced by scripts/test and scripts/demo.

pemar_need_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages: ${missing[*]} (run as root to install them)" >&2
    return 1
  fi
  echo "Installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Boost's headers serve `pemar serve` (Beast and Asio, header-only).
PEMAR_BUILD_PACKAGES=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev
                      libcli11-dev nlohmann-json3-dev libpugixml-dev
                      libboost1.81-dev)
PEMAR_FUZZ_PACKAGES=(clang libclang-rt-dev)
# The Python package: pybind11 and the headers of Debian's Python, with numpy
# and pytest for its tests.
PEMAR_PYTHON_PACKAGES=(pybind11-dev python3-dev python3-numpy python3-pytest)
# A browser for the check of the pictures and the report page and for the
# browser tests of `pemar serve` (which take Playwright and axe-core from npm
# with the machine's own Node.js, pinned by web/e2e/package-lock.json).
PEMAR_BROWSER_PACKAGES=(chromium)
# The Windows cross build: MinGW-w64 (posix threads), GoogleTest's sources to
# build for it, and Wine to run its tests.
PEMAR_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix googletest wine wine64)
