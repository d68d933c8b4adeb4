# shellcheck shell=sh
# Sourced by the Windows tests in tests/ (POSIX sh): a throwaway signing key, held as a
# release's key is, for release/sign/run.
#
#   make_signing_key DIR
#     makes in DIR (new) a root CA (root.pem), an intermediate CA below it, and from that a
#     code-signing certificate (chain.pem: it, then the intermediate) whose key is in a
#     SoftHSM2 token with its own configuration (softhsm2.conf) and in code.pfx; a
#     time-stamping certificate from the root (tsa.pem, tsa.key); the PINs and the .pfx's
#     password in files only (user.pin, so.pin, pfx.pass). Exports SOFTHSM2_CONF and the
#     QUILLABY_SIGN_* settings of the token, without time-stamping, so that
#     release/sign/run, and CPack through makensis, sign with it.
#   verify_signature FILE
#     succeeds, quietly, when FILE carries a SHA-256 Authenticode signature chaining to that
#     root; otherwise it fails with the reason on stderr.

signing_root=$(cd "$(dirname "$0")/.." && pwd)

make_signing_key() {
    signing_dir=$1
    "$signing_root/scripts/deps" osslsigncode libengine-pkcs11-openssl softhsm2 python3 >&2
    (umask 077 && mkdir -p "$signing_dir/tokens")
    cat >"$signing_dir/x509.cnf" <<'END'
[req]
distinguished_name = dn
[dn]
[ca]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[code]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[tsa]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
END
    export SOFTHSM2_CONF="$signing_dir/softhsm2.conf"
    printf 'directories.tokendir = %s/tokens\nobjectstore.backend = file\nlog.level = ERROR\n' \
        "$signing_dir" >"$SOFTHSM2_CONF"
    # Chained with &&: the shell does not stop at a failure inside a group that "||" follows.
    (
        umask 077 && cd "$signing_dir" &&
            openssl req -x509 -new -newkey rsa:2048 -noenc -keyout root.key -out root.pem \
                -days 2 -subj "/CN=Quillaby Test Root" -config x509.cnf -extensions ca &&
            make_test_certificate intermediate "Quillaby Test Code Signing CA" root ca &&
            make_test_certificate code "Quillaby Test Publisher" intermediate code &&
            make_test_certificate tsa "Quillaby Test Time-Stamping" root tsa &&
            cat code.pem intermediate.pem >chain.pem &&
            openssl rand -hex 12 >so.pin && openssl rand -hex 12 >user.pin &&
            openssl rand -hex 12 >pfx.pass &&
            openssl pkcs12 -export -inkey code.key -in code.pem -out code.pfx \
                -passout file:pfx.pass &&
            openssl pkcs8 -topk8 -nocrypt -in code.key -out code.pk8 &&
            type_token_pins softhsm2-util --init-token --free --label "Quillaby test" &&
            type_token_pins softhsm2-util --import code.pk8 --token "Quillaby test" \
                --label "code signing" --id 01 &&
            rm code.pk8 code.key
    ) >"$signing_dir/setup.log" 2>&1 || {
        cat "$signing_dir/setup.log" >&2
        echo "No throwaway signing key made in $signing_dir." >&2
        return 1
    }
    export QUILLABY_SIGN_KEY="pkcs11:token=Quillaby%20test;object=code%20signing;type=private"
    export QUILLABY_SIGN_CERT="$signing_dir/chain.pem"
    QUILLABY_SIGN_MODULE=$(dpkg -L libsofthsm2 | grep -m 1 '/libsofthsm2\.so$')
    export QUILLABY_SIGN_MODULE QUILLABY_SIGN_PIN_FILE="$signing_dir/user.pin"
    unset QUILLABY_SIGN_TIMESTAMP
}

# name subject issuer extensions: a key and a certificate, in the current folder.
make_test_certificate() {
    openssl req -new -newkey rsa:2048 -noenc -keyout "$1.key" -out "$1.csr" -subj "/CN=$2" \
        -config x509.cnf &&
        openssl x509 -req -in "$1.csr" -CA "$3.pem" -CAkey "$3.key" -CAcreateserial \
            -days 2 -extfile x509.cnf -extensions "$4" -out "$1.pem"
}

# Runs a softhsm2-util command, typing it the PINs of so.pin and user.pin. softhsm2-util takes
# PINs on its command line, where any user could read them, or from a terminal: here a
# pseudo-terminal.
type_token_pins() {
    python3 -c '
import os, pty, sys
so_pin, user_pin = (open(name, "rb").read().strip() for name in ("so.pin", "user.pin"))
pid, terminal = pty.fork()
if pid == 0:
    os.execvp(sys.argv[1], sys.argv[1:])
seen = b""
while True:
    try:
        data = os.read(terminal, 1024)
    except OSError:
        break
    if not data:
        break
    sys.stdout.buffer.write(data)
    seen += data
    while b"PIN: " in seen:
        prompt, _, seen = seen.partition(b"PIN: ")
        os.write(terminal, (so_pin if prompt.endswith(b"SO ") else user_pin) + b"\n")
sys.exit(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))' "$@"
}

verify_signature() {
    "$signing_root/release/sign/run" --verify "$signing_dir/root.pem" "$1" >/dev/null
}
