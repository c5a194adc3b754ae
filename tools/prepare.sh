# Shared by run.sh and test.sh: install what the build needs, then configure and build.
# Usage: source tools/prepare.sh; prepare <build-dir> [extra cmake args...]

PACKAGES=(cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev
          fonts-liberation2 xvfb xauth xdotool poppler-utils openbox wmctrl x11-utils
          qt6-translations-l10n)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

prepare() {
    local dir=$1
    shift
    install_missing
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j "$(nproc)"
}

# Points COMn of the [PORTS] section of a settings file at a device path,
# keeping every other line as it is.
set_port() {
    local ini=$1 key=$2 path=$3 tmp
    tmp=$(mktemp "$ini.XXXXXX")
    [ -f "$ini" ] || : >"$ini"
    awk -v key="$key" -v path="$path" '
        BEGIN { IGNORECASE = 1 }
        /^[ \t]*\[/ { if (inside && !done) { print key "=" path; done = 1 }
                      inside = (tolower($0) ~ /^[ \t]*\[ports\]/) }
        inside && tolower($0) ~ "^[ \t]*" tolower(key) "[ \t]*=" { if (!done) print key "=" path; done = 1; next }
        { print }
        END { if (!done) { if (!inside) print "[PORTS]"; print key "=" path } }
    ' "$ini" >"$tmp"
    mv "$tmp" "$ini"
}
