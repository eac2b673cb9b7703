#!/usr/bin/env bash
# Builds the four Debian packages and installs each alone, with only what it
# depends on, in a clean Debian 12 root made with debootstrap, then uses it
# there: the program answers --version and the batch command fits an
# installed example; the library loads with everything it needs; a C program
# builds against libcalvero-dev through pkg-config and runs; Debian's Python
# imports the module and fits. Needs root (debootstrap, chroot) and the
# package archive (the machine's configured Debian mirror), so it is run by
# hand, not by the test suite:
#
#     sudo bash scripts/check_packages.sh [BUILD_DIR]
#
# BUILD_DIR is build/ by default (the README's build), configured and built
# here when needed. The clean root is made once and kept in
# /var/tmp/calvero-check-root/base (CALVERO_CHECK_ROOT sets the folder;
# remove it to start from a new one); each package gets a fresh copy of it.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
set +e

if [[ $(id -u) -ne 0 ]]; then
  echo "check_packages.sh: run it as root (it makes and enters Debian roots)" >&2
  exit 2
fi
build_dir="$(realpath -m "${1:-$CALVERO_ROOT/build}")"
cache="${CALVERO_CHECK_ROOT:-/var/tmp/calvero-check-root}"
calvero_install_packages debootstrap dpkg-dev

# The Debian archive the machine itself installs from (one-line or deb822
# sources), else Debian's own.
mirror="$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
  awk '$1 == "deb" && $0 ~ / bookworm / && $0 !~ /security/ { for (i = 2; i <= NF; ++i) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }')"
if [[ -z "$mirror" ]]; then
  mirror="$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
    awk 'tolower($1) == "uris:" && $2 !~ /security/ { print $2; exit }')"
fi
mirror="${mirror:-http://deb.debian.org/debian}"

failures=0
check() {
  local description="$1"
  shift
  if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}

# The packages.
echo "== building the packages in $build_dir"
CALVERO_TARGETS="calvero1 calvero1-batch digitora calvero_runtime_files calvero calvero_python" \
  calvero_build "$build_dir" || exit 2
(cd "$build_dir" && rm -f ./*.deb && cpack -G DEB >/dev/null) || { echo "cpack failed" >&2; exit 2; }
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")"
arch="$(dpkg --print-architecture)"
deb() { echo "$build_dir/${1}_${version}_${arch}.deb"; }
for package in calvero1 libcalvero1 libcalvero-dev python3-calvero; do
  check "cpack made $package" test -f "$(deb "$package")"
done
for package in calvero1 libcalvero1 libcalvero-dev python3-calvero; do
  echo "-- $package: $(dpkg-deb -f "$(deb "$package")" Installed-Size) KiB installed; depends on: $(dpkg-deb -f "$(deb "$package")" Depends)"
done

# The clean root, once.
if [[ ! -x "$cache/base/usr/bin/apt-get" ]]; then
  echo "== making a clean Debian 12 root from $mirror"
  rm -rf "$cache/base"
  mkdir -p "$cache"
  debootstrap --variant=minbase bookworm "$cache/base" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
    { echo "debootstrap failed: see $cache/debootstrap.log" >&2; exit 2; }
fi

root=""
leave_root() {
  if [[ -n "$root" ]]; then
    umount "$root/proc" 2>/dev/null
    # Never into a /proc still mounted there.
    rm -rf --one-file-system "$root"
    root=""
  fi
}
trap leave_root EXIT

# in_root COMMAND...: runs a shell command in the current root.
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
  DEBIAN_FRONTEND=noninteractive QT_QPA_PLATFORM=offscreen /bin/bash -c "$1"; }

# fresh_root PACKAGE...: a new copy of the clean root with those packages
# installed from their files, their dependencies from the archive.
fresh_root() {
  leave_root
  root="$cache/root-$1"
  rm -rf --one-file-system "$root"
  cp -a "$cache/base" "$root"
  mount -t proc proc "$root/proc"
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null
  local files=() package
  for package in "$@"; do
    cp "$(deb "$package")" "$root/tmp/"
    files+=("/tmp/$(basename "$(deb "$package")")")
  done
  in_root "apt-get update -qq && apt-get install -y -qq --no-install-recommends ${files[*]}" >"$cache/install-$1.log" 2>&1
}

echo "== calvero1 alone"
check "calvero1 installs with its dependencies" fresh_root calvero1
check "nothing of the engine's packages comes with it" \
  in_root "! dpkg -l libcalvero1 libcalvero-dev python3-calvero 2>/dev/null | grep -q '^ii'"
check "calvero1-batch --version" in_root "calvero1-batch --version | grep -q '$version'"
check "digitora --version" in_root "digitora --version | grep -q '$version'"
check "the batch command fits an installed example" \
  in_root "calvero1-batch /usr/lib/calvero1/potenzaold.txt | grep -qx 'tipo di equazione:CURVA DI POTENZA'"
check "the program finds every library it loads" in_root "! ldd /usr/lib/calvero1/calvero1 | grep -q 'not found'"
# Started on Qt's offscreen platform, the program shows its window and waits
# for the user: still running after five seconds, it was stopped by timeout.
check "the program starts and waits for the user" in_root "timeout 5 calvero1 >/tmp/calvero1.log 2>&1; test \$? -eq 124"
check "the help and the desktop entry" \
  in_root "test -f /usr/lib/calvero1/calvero1.htm -a -f /usr/share/applications/calvero1.desktop"

echo "== libcalvero1 alone"
check "libcalvero1 installs with its dependencies" fresh_root libcalvero1
check "the loader knows libcalvero.so.1" in_root "ldconfig -p | grep -q 'libcalvero.so.1 '"
check "every library it needs is there" in_root "! ldd /usr/lib/libcalvero.so.1 | grep -q 'not found'"
check "it needs nothing of Qt, FreeXL, libzip or pugixml" \
  in_root "! ldd /usr/lib/libcalvero.so.1 | grep -Eq 'Qt6|freexl|libzip|pugixml'"

echo "== libcalvero-dev (with libcalvero1)"
check "libcalvero-dev installs with libcalvero1" fresh_root libcalvero-dev libcalvero1
check "a C compiler and pkg-config for the check" \
  in_root "apt-get install -y -qq --no-install-recommends gcc libc6-dev pkgconf >/dev/null 2>&1"
cat >"$root/tmp/fit.c" <<'C'
#include <calvero.h>
#include <math.h>
#include <stdio.h>
int main(void)
{
    const double x[] = {1, 2, 3}, y[] = {3, 5, 7};
    calvero_request request = {3, 1, 3, x, y, NULL, NAN, NAN};
    calvero_result* result = NULL;
    const int status = calvero_fit(&request, &result);
    printf("%d %.3f %.3f\n", status, calvero_coefficient(result, 0), calvero_coefficient(result, 1));
    calvero_result_free(result);
    return status;
}
C
check "a C program builds with pkg-config's flags and fits y = 1 + 2x" \
  in_root "cd /tmp && cc fit.c \$(pkg-config --cflags --libs calvero) -o fit && ./fit | grep -qx '0 1.000 2.000'"
check "libcalvero-dev depends on libcalvero1 of its own version" \
  grep -q "libcalvero1 (= $version)" <<<"$(dpkg-deb -f "$(deb libcalvero-dev)" Depends)"

echo "== python3-calvero alone"
check "python3-calvero installs with its dependencies" fresh_root python3-calvero
check "libcalvero1 does not come with it" in_root "! dpkg -l libcalvero1 2>/dev/null | grep -q '^ii'"
check "Debian's Python imports calvero and fits y = 1 + 2x" \
  in_root "python3 -c 'import calvero; print(calvero.fit([1, 2, 3], [3, 5, 7], degree=1).coefficients[1])' | grep -qx '2.0'"

leave_root
if ((failures)); then
  echo "$failures checks FAILED"
  exit 1
fi
echo "every package installs alone and works"
