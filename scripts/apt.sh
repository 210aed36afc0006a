# Sourced by the scripts: installs the Debian packages given that are not
# installed yet, quietly. Asks apt only when one is missing, so it is
# cheap to call again.
apt_install() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Lets dpkg and apt take packages of a foreign architecture.
add_architecture() {
    dpkg --print-foreign-architectures | grep -qx "$1" && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo dpkg --add-architecture "$1"
    $sudo apt-get update -qq
}
