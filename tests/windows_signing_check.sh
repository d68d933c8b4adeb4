#!/bin/sh
# Signs copies of the Windows program $1 (a cross-built .exe or .dll) as a release is signed,
# on Linux alone: with release/sign/run and a throwaway key in a SoftHSM2 token with its
# PIN in a file (tests/windows_signing_setup.sh), time-stamped by a time-stamping service on
# this machine, as NSIS's !uninstfinalize calls it; and through scripts/windows' options with
# a .pfx and its password file. Each copy must verify against the throwaway CA; a changed copy
# must not; a signing that fails must leave its file as it was; no PIN or password may reach
# osslsigncode's command line or environment; a PIN inside the pkcs11: URI must be refused.
# One line per check; stops at the first failure.
set -eu
program=$(realpath "$1")
repo=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
server=
trap '[ -z "$server" ] || kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
. "$repo/tests/windows_signing_setup.sh"
cd "$work"

fail() {
    [ ! -f log ] || sed 's/^/  /' log
    echo "FAIL: $1"
    exit 1
}

make_signing_key "$work/key" || fail "no throwaway signing key"
echo "ok: throwaway CA, code-signing key in a SoftHSM2 token and in a .pfx"

# The time-stamping service, on loopback only.
cat >tsa.cnf <<END
[tsa]
default_tsa = tsa_config
[tsa_config]
serial = $work/tsa.serial
signer_cert = $work/key/tsa.pem
signer_key = $work/key/tsa.key
signer_digest = sha256
default_policy = 2.999.1
digests = sha256, sha384, sha512
ess_cert_id_alg = sha256
END
echo 01 >tsa.serial
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1
python3 "$repo/tests/timestamp_server.py" tsa.cnf >tsa.url &
server=$!
for _ in $(seq 50); do
    [ ! -s tsa.url ] || break
    sleep 0.1
done
url=$(head -n 1 tsa.url)
[ -n "$url" ] || fail "no time-stamping service started"

# osslsigncode as release/sign/run finds it on PATH, noting its arguments and environment.
real=$(command -v osslsigncode)
mkdir bin
cat >bin/osslsigncode <<END
#!/bin/sh
printf '%s\n' "\$*" >>"$work/osslsigncode.arguments"
env >>"$work/osslsigncode.environment"
exec "$real" "\$@"
END
chmod +x bin/osslsigncode
PATH="$work/bin:$PATH"

# The token: from the folder of a file with spaces and no .exe in its name, like the
# uninstaller that makensis hands to !uninstfinalize.
mkdir "token signed"
cp "$program" "token signed/un installer.tmp"
(cd "token signed" && QUILLABY_SIGN_TIMESTAMP=$url "$repo/release/sign/run" "un installer.tmp") \
    >log 2>&1 || fail "signing with the token"
"$repo/release/sign/run" --verify key/root.pem "token signed/un installer.tmp" >log 2>&1 ||
    fail "the token's signature does not verify"
grep -q "SHA-256, time-stamped" log || fail "the token's signature is not time-stamped"
echo "ok: token key, PIN file, time-stamp: $(cat log)"

# The .pfx, through the options of scripts/windows.
mkdir pfx
cp "$program" pfx/quillaby.exe
bash -c 'root=$1
         shift
         . "$root/release/sign/options.sh"
         read_signing_options "$@"
         signing_summary
         exec "$root/release/sign/run" "${remaining_arguments[@]}"' \
    _ "$repo" --sign-key=key/code.pfx --sign-cert key/chain.pem --sign-pin-file=key/pfx.pass \
    pfx/quillaby.exe >log 2>&1 || fail "signing with the .pfx"
summary=$(head -n 1 log)
"$repo/release/sign/run" --verify key/root.pem pfx/quillaby.exe >log 2>&1 ||
    fail "the .pfx's signature does not verify"
echo "ok: .pfx and password file: $(cat log)"
echo "ok: summary: $summary"

cp pfx/quillaby.exe changed.exe
python3 -c 'import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[len(data) // 2] ^= 0x01
open(sys.argv[1], "wb").write(data)' changed.exe
! verify_signature changed.exe 2>log || fail "a signed file changed afterwards still verifies"
echo "ok: a signed file with one byte changed fails verification"

mkdir down
cp "$program" down/quillaby.exe
if QUILLABY_SIGN_KEY="$work/key/code.pfx" QUILLABY_SIGN_CERT='' QUILLABY_SIGN_MODULE='' \
    QUILLABY_SIGN_PIN_FILE="$work/key/pfx.pass" QUILLABY_SIGN_TIMESTAMP="${url}down" \
    "$repo/release/sign/run" down/quillaby.exe >log 2>&1; then
    fail "signing succeeded with the time-stamping service down"
fi
grep -q "^Signing failed" log || fail "signing did not fail where the time-stamp is made"
cmp -s "$program" down/quillaby.exe || fail "a failed signing changed the file"
[ "$(ls -A down)" = quillaby.exe ] || fail "a failed signing left files behind: $(ls -A down)"
echo "ok: a failed signing (time-stamping service down) leaves the file as it was"

grep -q -- '-readpass' osslsigncode.arguments || fail "osslsigncode was not given a PIN file"
for secret in key/user.pin key/pfx.pass; do
    if grep -q -F -f "$secret" osslsigncode.arguments osslsigncode.environment; then
        fail "the secret of $secret reached osslsigncode's command line or environment"
    fi
done
echo "ok: no PIN or password on osslsigncode's command line or in its environment"

if bash -c '. "$1/release/sign/options.sh"; shift; read_signing_options "$@"' _ "$repo" \
    --sign-key "pkcs11:token=Quillaby%20test;pin-value=31415926" --sign-cert key/chain.pem \
    --sign-module "$QUILLABY_SIGN_MODULE" >log 2>&1; then
    fail "a PIN inside the pkcs11: URI was taken"
fi
! grep -q 31415926 log || fail "the refusal of a PIN inside the pkcs11: URI repeats it"
echo "ok: a PIN inside the pkcs11: URI is refused: $(cat log)"
