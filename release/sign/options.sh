# shellcheck shell=bash
# Sourced by the scripts that sign the Windows release (scripts/windows, release/sign/run):
# the signing options, their checks, and the settings handed on to child processes.
#
#   --sign-key KEY        a pkcs11: URI (a hardware token, or a cloud key store reached through
#                         its PKCS#11 module), or a .pfx / .p12 file
#   --sign-cert CHAIN     PEM certificates, the signing certificate first, then the
#                         intermediates. Needed with a pkcs11: key; with a .pfx the chain comes
#                         from the file itself and CHAIN, if given, adds certificates to it
#   --sign-module MODULE  the PKCS#11 module (.so) of the token or key store. Needed with a
#                         pkcs11: key: no module is assumed, because a release is signed
#                         through the one module its publisher chose, not through whatever
#                         p11-kit would load
#   --sign-pin-file FILE  a regular file holding the token's PIN or the .pfx's password (one
#                         line). Read once per signed file, so not a pipe. Without it, a .pfx
#                         is opened with an empty password and a token gets no PIN
#   --timestamp URL       an RFC 3161 time-stamping service (http or https)
#
# Each takes its value as the next argument or after "=". The secret itself is never an
# argument, nor in the environment: a pkcs11: URI that holds it (pin-value=) is refused.
# The settings go to child processes as paths, URIs and URLs only:
#   QUILLABY_SIGN_KEY QUILLABY_SIGN_CERT QUILLABY_SIGN_MODULE QUILLABY_SIGN_PIN_FILE
#   QUILLABY_SIGN_TIMESTAMP
# all unset when the release is not signed. A wrong setting stops the script with exit 2.

signing_refusal() {
    echo "$1" >&2
    exit 2
}

# Takes the signing options out of the script's arguments "$@", checks them and exports the
# QUILLABY_SIGN_* settings (absolute paths). What is not a signing option is left, in order,
# in the array remaining_arguments.
read_signing_options() {
    local key='' cert='' module='' pin_file='' timestamp='' name value
    remaining_arguments=()
    while [ $# -gt 0 ]; do
        case $1 in
        --sign-key | --sign-cert | --sign-module | --sign-pin-file | --timestamp)
            [ $# -ge 2 ] || signing_refusal "$1 needs a value."
            name=$1 value=$2
            shift 2
            ;;
        --sign-key=* | --sign-cert=* | --sign-module=* | --sign-pin-file=* | --timestamp=*)
            name=${1%%=*} value=${1#*=}
            shift
            ;;
        *)
            remaining_arguments+=("$1")
            shift
            continue
            ;;
        esac
        [ -n "$value" ] || signing_refusal "$name needs a value."
        case $name in
        --sign-key) key=$value ;;
        --sign-cert) cert=$(realpath -m -- "$value") ;;
        --sign-module) module=$(realpath -m -- "$value") ;;
        --sign-pin-file) pin_file=$(realpath -m -- "$value") ;;
        --timestamp) timestamp=$value ;;
        esac
    done
    unset QUILLABY_SIGN_KEY QUILLABY_SIGN_CERT QUILLABY_SIGN_MODULE QUILLABY_SIGN_PIN_FILE \
        QUILLABY_SIGN_TIMESTAMP
    if [ -z "$key" ]; then
        [ -z "$cert$module$pin_file$timestamp" ] ||
            signing_refusal "Signing options without --sign-key: give the key to sign with."
        return 0
    fi
    case $key in
    pkcs11:*) ;;
    *) key=$(realpath -m -- "$key") ;;
    esac
    export QUILLABY_SIGN_KEY=$key QUILLABY_SIGN_CERT=$cert QUILLABY_SIGN_MODULE=$module \
        QUILLABY_SIGN_PIN_FILE=$pin_file QUILLABY_SIGN_TIMESTAMP=$timestamp
    check_signing_settings
    if [ -n "$pin_file" ] && [ "$(($(stat -c %#a "$pin_file") & 077))" -ne 0 ]; then
        echo "Warning: others than its owner may read $pin_file (chmod 600 it)." >&2
    fi
}

# Checks the QUILLABY_SIGN_* settings: the files are there and readable, the kind of key has
# what it needs, the certificate is one to sign code with and has not expired, a .pfx opens
# with its password.
check_signing_settings() {
    local key=${QUILLABY_SIGN_KEY-} cert=${QUILLABY_SIGN_CERT-} module=${QUILLABY_SIGN_MODULE-}
    local pin_file=${QUILLABY_SIGN_PIN_FILE-} timestamp=${QUILLABY_SIGN_TIMESTAMP-} usage
    [ -n "$key" ] || signing_refusal "Signing is not configured: QUILLABY_SIGN_KEY is empty \
(scripts/windows sets it from --sign-key)."
    # The URI is not repeated in the message: it holds the PIN.
    if printf '%s' "$key" | grep -qi 'pin-value='; then
        signing_refusal "The pkcs11: URI of --sign-key holds the PIN (pin-value=): anyone on \
this machine can read a command line. Take it out of the URI and put the PIN in a file \
given with --sign-pin-file."
    fi
    signing_file "$pin_file" --sign-pin-file
    signing_file "$cert" --sign-cert
    case $key in
    pkcs11:*)
        [ -n "$module" ] || signing_refusal "A pkcs11: key needs --sign-module, the PKCS#11 \
module (.so) of its token or key store."
        signing_file "$module" --sign-module
        [ -n "$cert" ] || signing_refusal "A pkcs11: key needs --sign-cert, its certificate \
chain in PEM (the signing certificate first)."
        ;;
    *.pfx | *.p12 | *.PFX | *.P12)
        [ -z "$module" ] || signing_refusal "--sign-module is for a pkcs11: key, not a .pfx."
        signing_file "$key" --sign-key
        signing_certificate >/dev/null 2>&1 || signing_refusal "$key does not open with the \
password in ${pin_file:-(no --sign-pin-file: the empty password)}."
        ;;
    *) signing_refusal "--sign-key takes a pkcs11: URI or a .pfx (.p12) file, not \"$key\"." ;;
    esac
    if [ -n "$cert" ] && ! openssl x509 -in "$cert" -noout 2>/dev/null; then
        signing_refusal "$cert (--sign-cert) holds no PEM certificate."
    fi
    signing_certificate | openssl x509 -noout -checkend 0 >/dev/null ||
        signing_refusal "The signing certificate has expired."
    usage=$(signing_certificate | openssl x509 -noout -ext extendedKeyUsage 2>/dev/null)
    if [ -n "$usage" ] && ! printf '%s' "$usage" | grep -q 'Code Signing'; then
        signing_refusal "The signing certificate is not one for code signing (its extended key \
usage lacks it)."
    fi
    case $timestamp in
    '' | http://?* | https://?*) ;;
    *) signing_refusal "--timestamp takes the http:// or https:// URL of an RFC 3161 \
time-stamping service, not \"$timestamp\"." ;;
    esac
}

# Refuses a path $1 given (by option $2) that is not a readable regular file.
signing_file() {
    [ -z "$1" ] || { [ -f "$1" ] && [ -r "$1" ]; } ||
        signing_refusal "$1 ($2) is not a readable file."
}

# Prints the signing certificate in PEM: the first of --sign-cert, or the .pfx's own.
signing_certificate() {
    local pass=pass:
    case $QUILLABY_SIGN_KEY in
    pkcs11:*)
        openssl x509 -in "$QUILLABY_SIGN_CERT"
        return
        ;;
    esac
    [ -z "${QUILLABY_SIGN_PIN_FILE-}" ] || pass=file:$QUILLABY_SIGN_PIN_FILE
    # Older .pfx files are encrypted with what OpenSSL 3 keeps in its legacy provider.
    openssl pkcs12 -in "$QUILLABY_SIGN_KEY" -nokeys -clcerts -passin "$pass" 2>/dev/null ||
        openssl pkcs12 -legacy -in "$QUILLABY_SIGN_KEY" -nokeys -clcerts -passin "$pass"
}

# One line saying whether the release is signed, and with what.
signing_summary() {
    local subject source stamp
    if [ -z "${QUILLABY_SIGN_KEY-}" ]; then
        echo "Not signed: give --sign-key and --sign-cert to sign."
        return
    fi
    subject=$(signing_certificate | openssl x509 -noout -subject -nameopt RFC2253)
    case $QUILLABY_SIGN_KEY in
    pkcs11:*) source="its key on a token through $(basename "$QUILLABY_SIGN_MODULE")" ;;
    *) source="its key in $(basename "$QUILLABY_SIGN_KEY")" ;;
    esac
    if [ -n "${QUILLABY_SIGN_TIMESTAMP-}" ]; then
        stamp="time-stamped by $QUILLABY_SIGN_TIMESTAMP"
    else
        stamp="not time-stamped, so the signatures end with the certificate (give --timestamp)"
    fi
    echo "Signed with the certificate of ${subject#subject=}, $source; $stamp."
}
