# Set-up shared by scripts/test and scripts/demo: the Debian packages, then the build.
# Sourced from the repository's root folder.

source scripts/lib/packages.sh

step() { printf '==> %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages that are missing; the package lists are fetched once, and only then.
ensure_packages() {
  local wanted=("${VORLABWS_PACKAGES[@]}")
  # Node.js runs the label renderer: Debian's, unless the machine has a Node.js of its own.
  command -v node >/dev/null || wanted+=(nodejs npm)
  local missing=()
  local package
  for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    step "Debian packages: all ${#wanted[@]} present"
    return 0
  fi
  step "Debian packages: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q >/dev/null
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# Builds the given targets, or everything when none is given.
build() {
  step "Building into build/${*:+ (}${*}${*:+)}"
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build ${*:+--target "$@"}
}

# The label renderer's npm packages, as tools/label-preview/package-lock.json pins them, in
# tools/label-preview/node_modules. Nothing is fetched when the pinned versions are there.
ensure_label_renderer() {
  local installed='
    const packages = require("./package-lock.json").packages;
    for (const [path, locked] of Object.entries(packages)) {
      if (path && require(`./${path}/package.json`).version !== locked.version) process.exit(1);
    }'
  if (cd tools/label-preview && node -e "$installed" 2>/dev/null); then
    step "Label renderer: installed"
    return 0
  fi
  step "Label renderer: npm ci in tools/label-preview"
  (cd tools/label-preview && npm ci --no-audit --no-fund --prefer-offline >/dev/null)
}
