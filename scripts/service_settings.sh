# Sourced by scripts/package and scripts/windows, which build the program for a real
# consultation service: their arguments, and the refusal of a service host that is this
# machine.

# Reads the script's arguments into settings (the CMake settings), given_host and
# allow_loopback.
read_service_settings() {
    allow_loopback=no
    settings=()
    given_host=
    for argument in "$@"; do
        case $argument in
        --allow-loopback) allow_loopback=yes ;;
        -DQUILLABY_SERVICE_HOST=* | -DQUILLABY_SERVICE_HOST:*=*)
            given_host=${argument#*=}
            settings+=("$argument")
            ;;
        -*) settings+=("$argument") ;;
        *)
            echo "Not a CMake setting: \"$argument\" (expected -DNAME=VALUE or --allow-loopback)." >&2
            exit 2
            ;;
        esac
    done
}

# Reads host and scheme from the configured build directory $1. When the host is this
# machine and --allow-loopback was not given, removes that directory and stops, with a
# message for the script $2 that makes what $3 names ("package", "Windows program").
refuse_loopback_host() {
    local dir=$1 script=$2 what=$3
    host=$(sed -n 's/^QUILLABY_SERVICE_HOST:[A-Z]*=//p' "$dir/CMakeCache.txt")
    scheme=$(sed -n 's/^QUILLABY_SERVICE_SCHEME:[A-Z]*=//p' "$dir/CMakeCache.txt")
    if [ -z "$(python3 scripts/loopback_host.py "$host")" ] || [ "$allow_loopback" = yes ]; then
        return 0
    fi
    rm -rf "$dir"
    if [ -z "$given_host" ]; then
        echo "QUILLABY_SERVICE_HOST is not given, so it is \"$host\": the $what's help" >&2
    else
        echo "QUILLABY_SERVICE_HOST is \"$host\", this machine itself: the $what's help" >&2
    fi
    echo "requests would reach no consultation service. Give the real service's host, for" >&2
    echo "example" >&2
    echo "  $script -DQUILLABY_SERVICE_HOST=help.example.org -DQUILLABY_SERVICE_SCHEME=https" >&2
    echo "or add --allow-loopback to build it for this machine anyway." >&2
    exit 1
}
