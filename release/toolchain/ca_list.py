"""The CA list the Windows program carries, from Mozilla's certdata.txt as a Debian
ca-certificates source has it: every root that Mozilla trusts to issue server certificates
(CKA_TRUST_SERVER_AUTH CKT_NSS_TRUSTED_DELEGATOR) and whose trust for servers ends on no
date (no CKA_NSS_SERVER_DISTRUST_AFTER date: a flat list cannot say "only certificates
issued before", so such a root is left out whole). Roots Mozilla removed are not in the
file, and roots it distrusts have no trusted-delegator trust.
    python3 ca_list.py certdata.txt OUT.pem
Prints how many roots it kept and the labels of those it left out."""

import base64
import re
import sys
import textwrap


def objects(lines):
    """The objects after BEGINDATA, each a dict of attribute name to (type, value); a
    MULTILINE_OCTAL value as bytes."""
    current = None
    lines = iter(lines)
    for line in lines:
        if line.startswith("BEGINDATA"):
            break
    for line in lines:
        line = line.rstrip("\n")
        if not line or line.startswith("#"):
            continue
        name, kind, *rest = line.split(" ", 2) + [""]
        value = rest[0]
        if kind == "MULTILINE_OCTAL":
            octets = bytearray()
            for octal in lines:
                if octal.strip() == "END":
                    break
                octets += bytes(int(o, 8) for o in re.findall(r"\\([0-7]{3})", octal))
            value = bytes(octets)
        if name == "CKA_CLASS":
            if current:
                yield current
            current = {}
        if current is not None:
            current[name] = (kind, value)
    if current:
        yield current


def main(certdata, out):
    with open(certdata, encoding="utf-8") as f:
        found = list(objects(f))
    trusted = set()
    for o in found:
        if o["CKA_CLASS"][1] == "CKO_NSS_TRUST" and \
                o.get("CKA_TRUST_SERVER_AUTH", ("", ""))[1] == "CKT_NSS_TRUSTED_DELEGATOR":
            trusted.add((o["CKA_ISSUER"][1], o["CKA_SERIAL_NUMBER"][1]))
    kept, left_out = [], []
    for o in found:
        if o["CKA_CLASS"][1] != "CKO_CERTIFICATE":
            continue
        label = o["CKA_LABEL"][1].strip('"')
        if (o["CKA_ISSUER"][1], o["CKA_SERIAL_NUMBER"][1]) not in trusted:
            continue
        if o.get("CKA_NSS_SERVER_DISTRUST_AFTER", ("CK_BBOOL", ""))[0] == "MULTILINE_OCTAL":
            left_out.append(label)
            continue
        der = base64.b64encode(o["CKA_VALUE"][1]).decode()
        kept.append("# %s\n-----BEGIN CERTIFICATE-----\n%s\n-----END CERTIFICATE-----\n"
                    % (label, "\n".join(textwrap.wrap(der, 64))))
    if not kept:
        sys.exit("%s: no root trusted for servers" % certdata)
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(kept))
    print("%d roots trusted for servers; left out, trusted only until a date: %s"
          % (len(kept), ", ".join(left_out) or "none"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: ca_list.py certdata.txt OUT.pem")
    main(sys.argv[1], sys.argv[2])
