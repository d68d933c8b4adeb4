"""Checks that no Windows binary in a folder names a folder of the build machine.

usage: windows_paths.py FOLDER [BUILD_FOLDER ...]

A path that starts with / in a Windows program lies on the current drive, C: as a rule, where
any signed-in user may create folders: a file the program or a library in it looked for there
could be planted. Every .exe and .dll under FOLDER is searched, as 8-bit and as UTF-16 text,
for the given folders (the source, the toolchain's) and for any absolute path under the usual
top folders of a Linux system. Exits 1, naming each, when one is found.
"""
import pathlib
import re
import sys

TOP_FOLDERS = rb"(?:var|usr|home|root|tmp|build|work|opt|srv|mnt|run|etc|lib|nix|gnu)"
PATH = re.compile(rb"(?<![A-Za-z0-9_.~-])/" + TOP_FOLDERS + rb"/[\x21-\x7e]*")


def strings(data):
    yield data
    # UTF-16LE text as 8-bit: every other byte of a run of ASCII characters and zeros.
    for run in re.findall(rb"(?:[\x20-\x7e]\x00){4,}", data):
        yield run[::2]


def main():
    folder = pathlib.Path(sys.argv[1])
    given = [f.encode() for f in sys.argv[2:] if f]
    found = []
    binaries = [p for p in sorted(folder.rglob("*")) if p.suffix.lower() in (".exe", ".dll")]
    if not binaries:
        sys.exit(f"no .exe or .dll in {folder}")
    for binary in binaries:
        data = binary.read_bytes()
        names = set()
        for text in strings(data):
            names.update(m.group(0) for m in PATH.finditer(text))
            names.update(g for g in given if g in text)
        found += [f"{binary.relative_to(folder)}: {n.decode(errors='replace')}" for n in sorted(names)]
    if found:
        print("Windows binaries name folders of this machine:", *found, sep="\n  ", file=sys.stderr)
        sys.exit(1)
    print(f"{len(binaries)} Windows binaries name no folder of this machine")


if __name__ == "__main__":
    main()
