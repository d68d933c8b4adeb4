"""Writes a zip again so that the same files give the same bytes, whoever packs them where:
entries in name order, each dated SOURCE_DATE_EPOCH (as UTC; the zip format has no time
zone), with fixed permissions and no owner, and no extra fields.
    python3 reproducible_zip.py FILE.zip"""

import os
import sys
import time
import zipfile


def main(path):
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "315532800"))
    date = time.gmtime(max(epoch, 315532800))[:6]  # the zip format starts in 1980
    with zipfile.ZipFile(path) as old:
        entries = [(info, old.read(info)) for info in sorted(old.infolist(), key=lambda i: i.filename)]
    with zipfile.ZipFile(path + ".new", "w") as new:
        for info, data in entries:
            entry = zipfile.ZipInfo(info.filename, date_time=date)
            entry.create_system = 3
            if info.is_dir():
                entry.external_attr = (0o40755 << 16) | 0x10
                entry.compress_type = zipfile.ZIP_STORED
            else:
                entry.external_attr = 0o100644 << 16
                entry.compress_type = zipfile.ZIP_DEFLATED
            new.writestr(entry, data)
    os.replace(path + ".new", path)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: reproducible_zip.py FILE.zip")
    main(sys.argv[1])
