#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt that are missing,
# and the Shift-JIS locale the differential tests and benchmarks use.
# Idempotent: does nothing when everything is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
while read -r pkg; do
    case "$pkg" in ''|'#'*) continue ;; esac
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    if [ "$status" != "install ok installed" ]; then missing+=("$pkg"); fi
done < "$here/packages.txt"

if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq || true
    # Servers are started by the tests themselves; keep the package scripts from launching them.
    printf '#!/bin/sh\nexit 101\n' | "${sudo_cmd[@]}" tee /usr/sbin/policy-rc.d >/dev/null
    "${sudo_cmd[@]}" chmod +x /usr/sbin/policy-rc.d
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
    "${sudo_cmd[@]}" rm -f /usr/sbin/policy-rc.d
fi

# Shift-JIS locale: the oracle for leftmost-longest matching and the speed peer for grep.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.sjis$'; then
    echo "install-deps: creating locale ja_JP.SJIS"
    "${sudo_cmd[@]}" localedef -f SHIFT_JIS -i ja_JP ja_JP.SJIS 2>/dev/null || true
fi
