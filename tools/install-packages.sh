#!/usr/bin/env bash
# Installs the Debian packages of tools/packages.txt that are missing, all of them or none.
# Needs root for apt-get; without it, names what is missing and how to install it, and stops.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for tool in dpkg-query apt-get apt-cache; do
  command -v "$tool" >/dev/null || { echo "The set-up needs Debian 12's $tool, which is missing." >&2; exit 1; }
done
mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$here/packages.txt")
missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0
install=(apt-get install -y --no-install-recommends "${missing[@]}")
if [ "$(id -u)" -ne 0 ]; then
  echo "These Debian packages are missing: ${missing[*]}" >&2
  echo "Install them as root with: ${install[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq || { echo "apt-get update failed; nothing was installed." >&2; exit 1; }
unknown=()
for pkg in "${missing[@]}"; do
  [ -n "$(apt-cache policy "$pkg" 2>/dev/null | awk '/Candidate:/ && $2 != "(none)"')" ] || unknown+=("$pkg")
done
if [ ${#unknown[@]} -gt 0 ]; then
  echo "apt-get knows no installable package named: ${unknown[*]} (see tools/packages.txt and" \
    "the apt sources); nothing was installed." >&2
  exit 1
fi
# apt-get resolves and downloads everything before it unpacks anything.
"${install[@]}" -qq || { echo "apt-get could not install: ${missing[*]}" >&2; exit 1; }
