#!/usr/bin/env bash
# Installs every Debian package the project needs (idempotent: apt-get runs only when
# something is missing). Needs root or sudo on a fresh machine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v '^\s*#' "$here/packages.txt" | sed '/^\s*$/d')

missing=()
for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done
# Runs a command as root through sudo; where there is no sudo, says what to do instead.
as_root() {
    if ! command -v sudo >/dev/null 2>&1; then
        echo "setup.sh: installing Debian packages and locales needs root, and sudo is not installed." >&2
        echo "Run it as root (su -c $here/setup.sh), or install sudo." >&2
        exit 1
    fi
    sudo "$@"
}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="as_root"
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Locales that tests switch to: a decimal comma (de_DE), "." as the time separator (fi_FI),
# time formats with literal text (ja_JP, ko_KR) and the common 12-hour clock (en_US), so
# that tests can show that texts read back and file formats ignore the C locale.
locales_needed=()
for loc in de_DE en_US fi_FI ja_JP ko_KR; do
    if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$"; then
        locales_needed+=("$loc")
    fi
done
if [ ${#locales_needed[@]} -gt 0 ]; then
    for loc in "${locales_needed[@]}"; do
        $sudo sed -i "s/^# *\(${loc}.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^${loc}.UTF-8 UTF-8" /etc/locale.gen || echo "${loc}.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    done
    $sudo locale-gen >/dev/null
fi
