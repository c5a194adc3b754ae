#!/usr/bin/env bash
# Builds the Debian package from a copy of the tracked files, as a fresh clone would, and checks
# it: lintian, the desktop entry and AppStream validators, an install with apt-get, the installed
# programs' versions, the package's own autopkgtests (the end-to-end test against /usr/bin, and
# drganik-rec with no display), then a purge that leaves nothing. The package is built with DEB_BUILD_OPTIONS=nocheck: CI has run every
# suite just before (./test.sh), and the end-to-end test runs here against what was installed;
# with --check the package build runs the suites as well.
# Runs as root.
# Usage: tools/package_check.sh [--check] [output folder, default build-deb]
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
    shift
fi
out=$(realpath -m "${1:-build-deb}")
export DEBIAN_FRONTEND=noninteractive

apt-get install -y -qq --no-install-recommends dpkg-dev fakeroot debhelper lintian desktop-file-utils \
    appstream autopkgtest >/dev/null
profiles=(-Pnocheck)
[ $check -eq 1 ] && profiles=()
apt-get build-dep -y -qq "${profiles[@]}" ./ >/dev/null

version=$(dpkg-parsechangelog -S Version)
src=$out/drganik-$version
rm -rf "$out"
mkdir -p "$src"
git ls-files -z --cached --others --exclude-standard | tar --null -T - --ignore-failed-read -cf - | tar -xf - -C "$src"
start=$SECONDS
options=nocheck
[ $check -eq 1 ] && options=
(cd "$src" && DEB_BUILD_OPTIONS=$options dpkg-buildpackage -us -uc -b -j"$(nproc)" "${profiles[@]}" \
    >"$out/build.log" 2>&1) || { tail -40 "$out/build.log"; exit 1; }
echo "package built in $((SECONDS - start)) s"

lintian --fail-on error,warning,info --display-info --tag-display-limit 0 "$out"/drganik_"${version}"_*.changes
echo "lintian: no errors, warnings or information tags"

deb=$(ls "$out"/drganik_"${version}"_*.deb)
# Whatever happens from here on, the package does not stay installed.
trap 'apt-get purge -y -qq drganik >/dev/null 2>&1 || true' EXIT
apt-get install -y -qq "$deb" >/dev/null
desktop-file-validate /usr/share/applications/drganik.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.example.drganik.metainfo.xml
test "$(drganik --version)" = "drganik $version"
# The desktop entry starts what was installed.
test "$(command -v "$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' /usr/share/applications/drganik.desktop)")" = /usr/bin/drganik
test "$(drganik-rec --version)" = "drganik-rec $version"
echo "installed: $(drganik --version), $(drganik-rec --version)"

# The package's own test, as Debian's CI would run it, on this machine (the null runner).
autopkgtest "$deb" "$src" -- null >"$out/autopkgtest.log" 2>&1 || { tail -60 "$out/autopkgtest.log"; exit 1; }
grep -E '^end-to-end +PASS' "$out/autopkgtest.log"
grep -E '^recorder +PASS' "$out/autopkgtest.log"

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
