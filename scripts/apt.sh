# Sourced by the scripts: installs the Debian packages given that are not
# installed yet, quietly. Asks apt only when one is missing, so it is
# cheap to call again.

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

apt_install() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Lets dpkg and apt take packages of a foreign architecture.
add_architecture() {
    dpkg --print-foreign-architectures | grep -qx "$1" && return 0
    as_root dpkg --add-architecture "$1"
    as_root apt-get update -qq
}
