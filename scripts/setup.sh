# Shared by scripts/run and scripts/test: install what is missing, configure and build.
# Sourced, not run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation fonts-dejavu-core
          clang-format poppler-utils)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# configure_build PRESET: configure and build one of CMakePresets.json's presets.
configure_build() {
  (cd "$ROOT" && cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$(nproc)")
}

# check_format: every C++ file of the tree as .clang-format has it.
check_format() {
  local files
  mapfile -t files < <(cd "$ROOT" && git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
  if ! (cd "$ROOT" && clang-format --dry-run -Werror "${files[@]}" 2>/tmp/velmora-format.log); then
    head -20 /tmp/velmora-format.log
    echo "unformatted code: run clang-format -i on the files above"
    return 1
  fi
}
