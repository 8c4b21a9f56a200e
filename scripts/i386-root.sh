#!/usr/bin/env bash
# The i386 root: a minimal 32-bit Debian 12 tree with the 32-bit Wine inside, for machines where
# the multiarch wine32:i386 cannot be installed (the machine's own amd64 packages can block it).
# Its packages all come from one release, so their versions agree whatever the machine has. It
# lives outside the clone (ORIN_I386_ROOT, default /var/lib/orin/i386-bookworm), made once and
# reused by later runs; one whose making was cut short is made anew.
#
#   bash scripts/i386-root.sh make           make it (as root) unless it is complete
#   bash scripts/i386-root.sh run CMD [ARG]  run CMD inside it, e.g. /usr/lib/wine/wine prog.exe
#   source scripts/i386-root.sh              the functions alone
#
# A program runs inside it in a private mount namespace: the machine's /dev, /proc, /sys and /tmp,
# the clone, the build folders, the Wine prefix and the working folder appear at their own paths,
# so build trees, prefixes and the X display's socket are the same inside and out. The mounts end
# with the program's namespace; the machine's own mounts are never touched.
#
# Where the kernel runs 64-bit code only (or with ORIN_I386_EMULATE=1), the root's programs run
# under qemu's user-mode emulator, registered for i386 programs in the binfmt_misc instance of a
# private user namespace: nothing outside that namespace sees the registration, and it ends with
# the last process inside.

orin_root="${orin_root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
orin_build_root="${orin_build_root:-${ORIN_BUILD_DIR:-$orin_root/build}}"
orin_i386_root="${ORIN_I386_ROOT:-/var/lib/orin/i386-bookworm}"
# The emulator, taken from Debian's qemu-user-static package without installing it: installing
# the package could register it for the whole machine.
orin_i386_qemu="${ORIN_I386_QEMU:-$(dirname "$orin_i386_root")/qemu-i386-static}"
orin_i386_mark=.orin-root-complete
# What the 32-bit suite needs inside: Wine, and the locales and fonts the 64-bit side has too.
orin_i386_packages=(wine wine32 locales-all fonts-liberation fonts-wine)

# The mark, written last, names the packages the root was made with.
orin_i386_root_ready() {
  [ "$(head -n 1 "$orin_i386_root/$orin_i386_mark" 2>/dev/null)" = "packages: ${orin_i386_packages[*]}" ]
}

# Whether the kernel runs i386 programs: a 96-byte static i386 program that exits with 42.
orin_kernel_runs_i386() {
  local probe rc
  probe=$(mktemp) || return 1
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' > "$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0' >> "$probe"
  printf '\270\1\0\0\0\273\52\0\0\0\315\200' >> "$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  rc=$?
  rm -f "$probe"
  [ "$rc" = 42 ]
}

orin_i386_emulated() {
  [ "${ORIN_I386_EMULATE:-0}" = 1 ] || ! orin_kernel_runs_i386
}

# Mounts that are still live below a folder (a run cut short outside a namespace of its own).
orin_mounts_below() { awk -v p="$1/" 'index($2 "/", p) == 1 { print $2 }' /proc/mounts; }

# Removes a half-made root, refusing where anything is still mounted below it.
orin_i386_remove() {
  local dir=$1
  [ -e "$dir" ] || return 0
  if [ -n "$(orin_mounts_below "$dir")" ]; then
    echo "i386-root: $dir still has mounts below it; not removing it:" >&2
    orin_mounts_below "$dir" >&2
    return 1
  fi
  rm -rf --one-file-system "$dir"
}

orin_i386_fetch_qemu() {
  [ -x "$orin_i386_qemu" ] && return 0
  local scratch
  scratch=$(mktemp -d) || return 1
  (cd "$scratch" && apt-get download -q qemu-user-static >/dev/null) &&
    dpkg-deb --fsys-tarfile "$scratch"/qemu-user-static_*.deb |
      tar -x -C "$scratch" ./usr/bin/qemu-i386-static &&
    install -m 755 "$scratch/usr/bin/qemu-i386-static" "$orin_i386_qemu"
  local rc=$?
  rm -rf "$scratch"
  return $rc
}

# Starts CMD in a new user and mount namespace whose users are the machine's own (uid and gid
# maps 0-4294967294 onto themselves), so that dpkg can hand files to the root's system users.
# Only root may write such maps; the child waits until they are there.
orin_unshare_identity() {
  local sync pid rc
  sync=$(mktemp -d) || return 1
  mkfifo "$sync/go"
  unshare --user --mount --propagation private -- \
    bash -c ': > "$0/ready"; read -r _ < "$0/go"; exec "$@"' "$sync" "$@" &
  pid=$!
  while [ ! -e "$sync/ready" ] && kill -0 "$pid" 2>/dev/null; do sleep 0.02; done
  echo '0 0 4294967295' > "/proc/$pid/uid_map" && echo '0 0 4294967295' > "/proc/$pid/gid_map" &&
    echo go > "$sync/go" || kill "$pid" 2>/dev/null
  wait "$pid"
  rc=$?
  rm -rf "$sync"
  return $rc
}

# Runs CMD inside the tree TREE (see the head of this file). EMULATE is 1 to run the tree's
# programs under the emulator; IDENTITY is 1 to keep the machine's users (for dpkg, as root).
orin_in_tree() {
  local tree=$1 emulate=$2 identity=$3
  shift 3
  local paths=(/dev /proc /sys /tmp) p q keep
  for p in "$orin_root" "$orin_build_root" "${WINEPREFIX:-}" "$PWD" ${ORIN_I386_BINDS:+${ORIN_I386_BINDS//:/ }}; do
    [ -n "$p" ] && [ -d "$p" ] || continue
    p=$(cd "$p" && pwd)
    keep=1
    for q in "${paths[@]}"; do
      case "$p/" in "$q"/*) keep=0 ;; esac
    done
    [ "$keep" = 1 ] && paths+=("$p")
  done
  # A private binfmt_misc instance needs a user namespace of its own, and so do mounts and
  # chroot for a user who is not root.
  local start=(unshare --mount --propagation private --)
  if [ "$identity" = 1 ]; then
    start=(orin_unshare_identity)
  elif [ "$(id -u)" != 0 ] || [ "$emulate" = 1 ]; then
    start=(unshare --user --map-root-user --mount --propagation private --)
  fi
  "${start[@]}" bash -c '
    tree=$1 emulate=$2 qemu=$3 wd=$4 count=$5
    shift 5
    for ((i = 0; i < count; i++)); do
      p=$1; shift
      mkdir -p "$tree$p" && mount --rbind "$p" "$tree$p" || exit 125
    done
    if [ "$emulate" = 1 ]; then
      mkdir -p "$tree/run/orin-binfmt"
      mount -t binfmt_misc binfmt_misc "$tree/run/orin-binfmt" || exit 125
      # Any i386 ELF program or shared object; F opens the emulator now, outside the chroot.
      printf "%s" ":orin-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:F" \
        > "$tree/run/orin-binfmt/register" || exit 125
    fi
    exec unshare --root="$tree" --wd="$wd" -- "$@"
  ' orin-i386 "$tree" "$emulate" "$orin_i386_qemu" "$PWD" "${#paths[@]}" "${paths[@]}" "$@"
}

orin_i386_run() {
  if ! orin_i386_root_ready; then
    echo "i386-root: $orin_i386_root is not complete; run scripts/setup.sh as root" >&2
    return 125
  fi
  local emulate=0
  orin_i386_emulated && emulate=1
  orin_in_tree "$orin_i386_root" "$emulate" 0 "$@"
}

# Installs the packages into TREE and writes the mark.
orin_i386_install() {
  local tree=$1 emulate=$2
  orin_in_tree "$tree" "$emulate" "$emulate" /usr/bin/env DEBIAN_FRONTEND=noninteractive \
    PATH=/usr/sbin:/usr/bin:/sbin:/bin sh -c \
    'apt-get update -q && apt-get install -y -q --no-install-recommends "$@" && apt-get clean' \
    orin-i386 "${orin_i386_packages[@]}" >/dev/null || return 1
  local version
  version=$(orin_in_tree "$tree" "$emulate" "$emulate" /usr/lib/wine/wine --version) || return 1
  printf 'packages: %s\n%s\n' "${orin_i386_packages[*]}" "$version" > "$tree/$orin_i386_mark"
}

# Makes the root with debootstrap (release suite only) and installs the packages inside it,
# beside its final place, and moves it there once complete. A complete root made with fewer
# packages gets the missing ones.
orin_i386_make() {
  orin_i386_root_ready && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "i386-root: making $orin_i386_root needs root" >&2
    return 1
  fi
  local mirror="${ORIN_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
  local partial="$orin_i386_root.partial" emulate=0
  orin_i386_emulated && emulate=1
  [ "$emulate" = 0 ] || orin_i386_fetch_qemu || { echo "i386-root: cannot fetch qemu-i386-static" >&2; return 1; }
  if [ -f "$orin_i386_root/$orin_i386_mark" ]; then
    echo "i386-root: adding ${orin_i386_packages[*]} to $orin_i386_root"
    orin_i386_install "$orin_i386_root" "$emulate" || return 1
    return 0
  fi
  echo "i386-root: making $orin_i386_root (a 32-bit Debian 12 with Wine, about 1.5 GB)"
  command -v debootstrap >/dev/null ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap >/dev/null ||
    return 1
  orin_i386_remove "$partial" && orin_i386_remove "$orin_i386_root" || return 1
  mkdir -p "$(dirname "$orin_i386_root")"
  # debootstrap mounts /proc and /sys in the tree; a namespace of its own ends them with it.
  if [ "$emulate" = 0 ]; then
    unshare --mount --propagation private -- \
      debootstrap --arch=i386 --variant=minbase bookworm "$partial" "$mirror" >/dev/null || return 1
  else
    debootstrap --foreign --arch=i386 --variant=minbase bookworm "$partial" "$mirror" >/dev/null &&
      orin_in_tree "$partial" 1 1 /debootstrap/debootstrap --second-stage >/dev/null || return 1
  fi
  orin_i386_install "$partial" "$emulate" || return 1
  mv "$partial" "$orin_i386_root"
  echo "i386-root: ready ($(tail -n 1 "$orin_i386_root/$orin_i386_mark"))"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -u
  case "${1:-}" in
    make) orin_i386_make ;;
    run) shift; orin_i386_run "$@" ;;
    *) echo "usage: i386-root.sh make | run CMD [ARG...]" >&2; exit 2 ;;
  esac
fi
