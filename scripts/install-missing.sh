#!/bin/sh
# Installs those of the named Debian packages that are not installed yet
# (apt-get, through sudo when not root); does nothing when all are there.
# Used by demo.sh and test.sh, each naming exactly what its step needs.
set -eu

missing=
for pkg in "$@"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing="$missing $pkg"
done
[ -n "$missing" ] || exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=
elif command -v sudo >/dev/null 2>&1; then
  as_root=sudo
else
  echo "$0: needs root or sudo to install:$missing" >&2
  exit 1
fi
echo "Installing:$missing"
$as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086  # one word per package
$as_root env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends $missing
