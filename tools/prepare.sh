# Shared by run.sh and test.sh: install what the build needs, then configure and build.
# Usage: source tools/prepare.sh; [TARGETS="a b"] prepare <build-dir> [extra cmake args...]
# (TARGETS: build only these; everything when unset, with the suites and the benchmarks).
# With TARGETS a new build folder is configured for the program alone (no suites, no debug
# information), so the first window comes up sooner; a folder already configured is kept as it
# is, so a later full build and this one never undo each other's work.

PACKAGES=(cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev
          fonts-liberation2 xvfb xauth xdotool poppler-utils openbox wmctrl x11-utils
          qt6-translations-l10n locales dpkg-dev gettext python3-numpy)

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

# The suites run under the users' locale and one more whose number format differs again; a
# machine without them gets them made here, so no suite ever falls back to C unnoticed.
TEST_LOCALES=(pl_PL fr_FR)

make_locales() {
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    for l in "${TEST_LOCALES[@]}"; do
        locale -a | grep -qx "$l.utf8" && continue
        echo "Making the locale $l.UTF-8"
        "${sudo[@]}" localedef -i "$l" -f UTF-8 "$l.UTF-8"
    done
}

prepare() {
    local dir=$1
    shift
    install_missing
    local config=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRGANIK_TESTS=ON -DDRGANIK_BENCH=ON)
    local targets=()
    if [ -n "${TARGETS:-}" ]; then
        targets=(--target $TARGETS)
        config=()
        # Release at the optimisation the suites are built with, without their debug information.
        [ -f "$dir/CMakeCache.txt" ] || config=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
                                                -DDRGANIK_TESTS=OFF -DDRGANIK_BENCH=OFF)
    fi
    cmake -S . -B "$dir" "${config[@]}" "$@"
    cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
}
