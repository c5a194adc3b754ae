#!/usr/bin/env bash
# Builds the Debian package from a copy of the tracked files, as a fresh clone would, and checks
# it: lintian, the desktop entry and AppStream validators, an install with apt-get, the installed
# program's version and the end-to-end test against /usr/bin, then a purge that leaves nothing.
# Runs as root. The end-to-end test comes from build/ (./test.sh builds it).
# Usage: tools/package_check.sh [output folder, default build-deb]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/${1:-build-deb}
export DEBIAN_FRONTEND=noninteractive

apt-get install -y -qq --no-install-recommends dpkg-dev fakeroot debhelper lintian desktop-file-utils \
    appstream >/dev/null
apt-get build-dep -y -qq ./ >/dev/null

version=$(dpkg-parsechangelog -S Version)
src=$out/drganik-$version
rm -rf "$out"
mkdir -p "$src"
git ls-files -z --cached --others --exclude-standard | tar --null -T - --ignore-failed-read -cf - | tar -xf - -C "$src"
start=$SECONDS
(cd "$src" && dpkg-buildpackage -us -uc -b -j"$(nproc)" >"$out/build.log" 2>&1) || { tail -40 "$out/build.log"; exit 1; }
echo "package built in $((SECONDS - start)) s"

lintian --fail-on error,warning --tag-display-limit 0 "$out"/drganik_"${version}"_*.changes
echo "lintian: no errors, no warnings"

deb=$(ls "$out"/drganik_"${version}"_*.deb)
# Whatever happens from here on, the package does not stay installed.
trap 'apt-get purge -y -qq drganik >/dev/null 2>&1 || true' EXIT
apt-get install -y -qq "$deb" >/dev/null
desktop-file-validate /usr/share/applications/drganik.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.example.drganik.metainfo.xml
test "$(drganik --version)" = "drganik $version"
# The desktop entry starts what was installed.
test "$(command -v "$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' /usr/share/applications/drganik.desktop)")" = /usr/bin/drganik
echo "installed: $(drganik --version)"

cmake --build build -j 2 --target test_e2e >/dev/null
DRGANIK_E2E_BIN=/usr/bin/drganik DRGANIK_E2E_SIM=/usr/bin/drganik-sim \
    ctest --test-dir build -R '^EndToEnd' --output-on-failure --timeout 300

listed=$(dpkg -L drganik)
apt-get purge -y -qq drganik >/dev/null
trap - EXIT
if dpkg-query -W -f='${Status}' drganik 2>/dev/null | grep -qv '^unknown ok not-installed$'; then
    echo "dpkg still knows drganik: $(dpkg-query -W -f='${Status}' drganik)"
    exit 1
fi
left=()
while read -r path; do
    [ "$path" = /. ] && continue
    # A folder another package owns (/usr/bin, say) stays; anything else of ours must be gone.
    if [ -e "$path" ] && { [ ! -d "$path" ] || ! dpkg -S "$path" >/dev/null 2>&1; }; then
        left+=("$path")
    fi
done <<<"$listed"
for f in /usr/bin/drganik.ini /usr/bin/drganik.ini.lock; do
    [ -e "$f" ] && left+=("$f")
done
if [ ${#left[@]} -gt 0 ]; then
    printf 'left after purge: %s\n' "${left[@]}"
    exit 1
fi
echo "purged: none of the $(wc -l <<<"$listed") paths the package held is left"
