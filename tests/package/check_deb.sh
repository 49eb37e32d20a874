#!/usr/bin/env bash
# Builds the Debian package from a finished build and reads it back: its name,
# its control fields and its files (what an installer's machine gets).
#   check_deb.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
arch=$(dpkg --print-architecture)
out="$build/package-test"
rm -rf "$out"
mkdir -p "$out"
trap 'rm -rf "$out"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; exit 1; }
deb="$out/kvort-config_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "no $deb:"; ls "$out"; exit 1; }

failed=0
fail() { echo "FAIL: $*"; failed=1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kvort-config ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = electronics ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
# Computed from the binaries (dpkg-shlibdeps), plus Qt's Russian texts.
for dep in libc6 libstdc++6 libqt6core6 libqt6widgets6 qt6-translations-l10n; do
    grep -qxF "$dep" <<<"$names" || fail "Depends lacks $dep: $depends"
done

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected=(
    ./usr/bin/kvort-config ./usr/bin/kvortcfg ./usr/bin/kvort-panel-sim
    ./usr/share/applications/kvort-config.desktop
    ./usr/share/kvort-config/KvortConfigHelp/KvortConfig.html
    ./usr/share/man/man1/kvortcfg.1.gz ./usr/share/man/man1/kvort-panel-sim.1.gz
    ./usr/share/man/man1/kvort-config.1.gz
    ./usr/share/bash-completion/completions/kvortcfg
    ./usr/share/bash-completion/completions/kvort-panel-sim
    ./usr/share/doc/kvort-config/copyright ./usr/share/doc/kvort-config/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/kvort-config.png")
done
for f in "${expected[@]}"; do
    grep -qxF "$f" <<<"$files" || fail "missing $f"
done
# Only the product: nothing outside /usr, no tests, benchmarks or build tools.
stray=$(grep -vE '^\./(usr/?.*)?$' <<<"$files" || true)
[ -z "$stray" ] || fail "outside /usr: $stray"
extra=$(grep '^\./usr/bin/.' <<<"$files" | grep -vxE '\./usr/bin/(kvort-config|kvortcfg|kvort-panel-sim)' || true)
[ -z "$extra" ] || fail "unexpected programs: $extra"

# The manual page has a section for every command the tool lists.
dpkg-deb -x "$deb" "$out/root"
commands=$("$out/root/usr/bin/kvortcfg" --help | sed -n '/^Команды:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
[ -n "$commands" ] || fail "kvortcfg --help lists no commands"
page=$(gzip -dc "$out/root/usr/share/man/man1/kvortcfg.1.gz")
for c in $commands; do
    grep -qxF ".SS ${c//-/\\-}" <<<"$page" || fail "manual page lacks command $c"
done
[ $failed -eq 0 ] && echo "package OK: $(basename "$deb")"
exit $failed
