#!/usr/bin/env bash
# Installs a package made by package.sh on a Debian 12 that never built the project (a minimal
# debootstrap of bookworm), with apt and without recommended packages, and starts the installed
# program there on this machine's Xvfb: a screenshot of its first window goes to FOLDER/shot.png.
# Needs root and access to Debian's archive; installs debootstrap, Xvfb and ImageMagick here.
#   scripts/try-package-in-chroot.sh build-package/mirravel_1.0-1_amd64.deb /tmp/mirravel-try
set -euo pipefail
deb="$(realpath "$1")"
folder="$(realpath -m "${2:-/tmp/mirravel-try}")"
root="$folder/bookworm"
source "$(dirname "$0")/setup.sh"
mirravel_install_packages debootstrap xvfb xauth imagemagick x11-utils xdotool

if [ ! -x "$root/usr/bin/apt-get" ]; then
    echo "Making a minimal Debian 12 in $root"
    mkdir -p "$folder"
    debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$folder/debootstrap.log" 2>&1
    printf '%s\n' "deb http://deb.debian.org/debian bookworm main" \
        "deb http://deb.debian.org/debian bookworm-updates main" \
        "deb http://deb.debian.org/debian-security bookworm-security main" >"$root/etc/apt/sources.list"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"

display_number=""
for number in $(seq 90 199); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || { display_number=$number; break; }
done
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    umount "$root/tmp/.X11-unix" 2>/dev/null || true
    umount "$root/proc" 2>/dev/null || true
}
trap cleanup EXIT
mount -t proc proc "$root/proc"

cp "$deb" "$root/root/"
chroot "$root" apt-get update -qq
echo "Installing $(basename "$deb") in $root with apt-get (no recommended packages)"
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "./root/$(basename "$deb")" >"$folder/install.log" 2>&1 || { tail -20 "$folder/install.log" >&2; exit 1; }
echo "mirravel on the chroot's PATH: $(chroot "$root" sh -c 'command -v mirravel')"
echo "mirravel --version: $(chroot "$root" env -u DISPLAY mirravel --version)"

Xvfb ":$display_number" -screen 0 1280x1024x24 -nolisten tcp >"$folder/xvfb.log" 2>&1 &
xvfb_pid=$!
sleep 2
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
chroot "$root" sh -c 'id tester >/dev/null 2>&1 || useradd -m tester'
chroot "$root" su tester -c "cd && DISPLAY=:$display_number exec mirravel" >"$folder/program.log" 2>&1 &
sleep 6
program_pid="$(DISPLAY=":$display_number" xdotool search --name '^Mirravel$' 2>/dev/null | head -1 \
               | xargs -r -I{} env DISPLAY=":$display_number" xprop -id {} _NET_WM_PID | grep -o '[0-9]*$' || true)"
DISPLAY=":$display_number" import-im6.q16 -window root "$folder/screen.png"
convert-im6.q16 "$folder/screen.png" -trim +repage "$folder/shot.png"
if [ -z "$program_pid" ]; then
    echo "No Mirravel window appeared; the program said:" >&2
    cat "$folder/program.log" >&2
    exit 1
fi
echo "A Mirravel window is open (pid $program_pid); screenshot: $folder/shot.png"
