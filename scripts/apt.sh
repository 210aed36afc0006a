# Sourced by the scripts: installs the Debian packages given that are not
# installed yet, quietly. Asks apt only when one is missing, so it is
# cheap to call again.

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The package lists, tried again a while when the mirror serves a list
# that does not match its index (a mirror in mid-sync); after that what
# could be read is used, and an install that still lacks a package says so.
apt_update() {
    local try
    for try in 1 2 3; do
        as_root apt-get update -qq && return 0
        [ "$try" -lt 3 ] && echo "apt-get update failed; again in $((try * 30)) s" >&2 &&
            sleep $((try * 30))
    done
    echo "apt-get update failed three times; going on with the lists it read" >&2
}

apt_install() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    apt_update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Lets dpkg and apt take packages of a foreign architecture.
add_architecture() {
    dpkg --print-foreign-architectures | grep -qx "$1" && return 0
    as_root dpkg --add-architecture "$1"
    apt_update
}
