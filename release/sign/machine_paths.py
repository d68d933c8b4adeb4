"""Checks that no Windows binary in a folder names a folder of the build machine.

usage: machine_paths.py FOLDER [BUILD_FOLDER ...] [--pieces CACHE_FOLDER ...]

A path that starts with / in a Windows program lies on the current drive, C: as a rule, where
any signed-in user may create folders: a file the program or a library in it looked for there
could be planted. Every .exe and .dll under FOLDER is searched, as 8-bit and as UTF-16 text
and with backslashes read as slashes (C:\\var\\cache\\...), for the given folders (the source,
the build, the toolchain's cache and its folders), for the distinctive names within the
folders given after --pieces (a folder stored in pieces; the source's and the build's own
names may well be the program's), and for any absolute path under the usual top folders of
a Linux system. Exits 1, naming each, when one is found.
"""
import pathlib
import re
import sys

TOP_FOLDERS = rb"(?:var|usr|home|root|tmp|build|work|opt|srv|mnt|run|etc|lib|nix|gnu)"
PATH = re.compile(rb"(?<![A-Za-z0-9_.~-])/" + TOP_FOLDERS + rb"/[\x21-\x7e]*")


# Folder names too common to mark a folder of this machine when found alone.
COMMON = re.compile(rb"^(?:" + TOP_FOLDERS[3:-1] + rb"|cache|share|local|include|src|source|"
                    rb"bin|build|main|master|debug|release|[^/]{0,7})$")


def strings(data):
    texts = [data]
    # UTF-16LE text as 8-bit: every other byte of a run of ASCII characters and zeros.
    texts += [run[::2] for run in re.findall(rb"(?:[\x20-\x7e]\x00){4,}", data)]
    for text in texts:
        yield text
        if b"\\" in text:
            yield text.replace(b"\\", b"/")


def distinctive(folders):
    """The given folders, and each name within them that would mark one of them alone."""
    marks = set(folders)
    for folder in folders:
        marks.update(part for part in folder.split(b"/") if not COMMON.match(part))
    return sorted(marks)


def main():
    folder = pathlib.Path(sys.argv[1])
    arguments = sys.argv[2:]
    split = arguments.index("--pieces") if "--pieces" in arguments else len(arguments)
    folders = lambda fs: [f.rstrip("/").encode() for f in fs if f.strip("/")]
    given = sorted(set(folders(arguments[:split])) | set(distinctive(folders(arguments[split + 1:]))))
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
