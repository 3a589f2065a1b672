#!/bin/sh
# Installs the build into a temporary prefix and runs the installed programs from there, as a
# user's machine would: no display, and no way back into the build tree.
set -eu
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "check_install: $*" >&2; exit 1; }
for f in bin/pelmora bin/pelmora-cli share/applications/pelmora.desktop \
         share/icons/hicolor/scalable/apps/pelmora.svg share/icons/hicolor/48x48/apps/pelmora.png \
         share/icons/hicolor/256x256/apps/pelmora.png share/man/man1/pelmora.1 share/man/man1/pelmora-cli.1 \
         share/bash-completion/completions/pelmora-cli; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
desktop-file-validate "$prefix/share/applications/pelmora.desktop"
grep -q '^MimeType=audio/x-wav;audio/wav;audio/x-aiff;$' "$prefix/share/applications/pelmora.desktop" \
    || fail "the desktop entry does not claim the sound file types"

# The installed programs carry no path of the build tree.
for f in "$prefix"/bin/* "$prefix"/lib*/pelmora/*.so* ; do
    [ -e "$f" ] || continue
    if readelf -d "$f" | grep -E 'R(UN)?PATH' | grep -q "$build"; then fail "$f points into the build tree"; fi
done

# --help and --version need no display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/pelmora" --version | grep -qx "pelmora [0-9]*\.[0-9]*\.[0-9]*" \
    || fail "pelmora --version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/pelmora" --help | grep -q "usage: pelmora" \
    || fail "pelmora --help"
"$prefix/bin/pelmora-cli" --version | grep -qx "pelmora-cli [0-9]*\.[0-9]*\.[0-9]*" || fail "pelmora-cli --version"
"$prefix/bin/pelmora-cli" --help | grep -q "^  open PATH" || fail "pelmora-cli --help"
mkdir "$prefix/work"
XDG_CONFIG_HOME="$prefix/work" "$prefix/bin/pelmora-cli" --workdir "$prefix/work" \
    new wav 1 16 44100 sine full 440 100 info >/dev/null 2>&1 || fail "the installed pelmora-cli does not run"
# The ASPI manager is found from the installed program, and so is an emulated instrument on it
# (every id taken, so the scan waits for no empty target).
ls "$prefix"/lib*/pelmora/libpelmora-aspi.so* >/dev/null 2>&1 || fail "the ASPI manager is not installed"
[ -e "$prefix/lib/udev/rules.d/60-pelmora-sg.rules" ] || fail "the udev rule is not installed"
for id in 0 1 2 3 4 5 6; do
    mkdir -p "$prefix/bus/$id"
    printf 'vendor = ORBECK\nproduct = %s\nid = %s\n' "$([ $id = 4 ] && echo TQ9000 || echo OTHER)" $id \
        > "$prefix/bus/$id/instrument.txt"
done
PELMORA_SCSI="emulated:$prefix/bus" XDG_CONFIG_HOME="$prefix/work" "$prefix/bin/pelmora-cli" \
    --workdir "$prefix/work" rescan | grep -q ':4 Sampler TQ9000$' || fail "the installed pelmora-cli finds no instrument"
# The Debian package holds the same files and names the libraries the programs link.
(cd "$build" && cpack -G DEB -B "$prefix/deb" >/dev/null) || fail "cpack -G DEB"
deb="$(ls "$prefix"/deb/pelmora_*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6widgets6 libqt6svg6 libstdc++6; do
    echo "$depends" | grep -q "$library" || fail "the package does not depend on $library: $depends"
done
dpkg-deb -c "$deb" | grep -q '\./usr/bin/pelmora-cli$' || fail "the package has no pelmora-cli"
echo "check_install: installed programs run from $prefix; $(basename "$deb") depends on $depends"
