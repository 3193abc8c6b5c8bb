# Set-up shared by scripts/test and scripts/demo: the Debian packages, then the build.
# Sourced from the repository's root folder.

source scripts/lib/packages.sh

step() { printf '==> %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages that are missing; the package lists are fetched once, and only then.
ensure_packages() {
  local missing=()
  local package
  for package in "${VORLABWS_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    step "Debian packages: all ${#VORLABWS_PACKAGES[@]} present"
    return 0
  fi
  step "Debian packages: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q >/dev/null
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

build() {
  step "Building into build/"
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build
}
