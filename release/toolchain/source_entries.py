#!/usr/bin/env python3
"""Prints one-line deb-src entries for the archives that this system's apt entries name for
its own release (the release, its -updates and its -security suites), with the same keys.
release/toolchain/run fetches Debian's source packages through them."""
import glob
import re

release = {}
with open("/etc/os-release") as info:
    for line in info:
        key, _, value = line.strip().partition("=")
        release[key] = value.strip('"')
codename = release["VERSION_CODENAME"]
wanted = {codename, codename + "-updates", codename + "-security"}
entries = []


def add(uris, suites, components, signed_by):
    for uri in uris:
        for suite in suites:
            if suite in wanted:
                options = f"[signed-by={signed_by}] " if signed_by else ""
                entries.append(f"deb-src {options}{uri} {suite} {' '.join(components)}")


for path in glob.glob("/etc/apt/sources.list.d/*.sources"):
    with open(path) as text:
        for stanza in re.split(r"\n\s*\n", text.read()):
            fields = {}
            for line in stanza.splitlines():
                if line.startswith("#") or ":" not in line:
                    continue
                key, _, value = line.partition(":")
                fields[key.strip().lower()] = value.split()
            if "deb" in fields.get("types", []) and fields.get("enabled", ["yes"]) != ["no"]:
                add(fields.get("uris", []), fields.get("suites", []),
                    fields.get("components", []), " ".join(fields.get("signed-by", [])))

for path in ["/etc/apt/sources.list"] + glob.glob("/etc/apt/sources.list.d/*.list"):
    try:
        lines = open(path).read().splitlines()
    except OSError:
        continue
    for line in lines:
        line = line.split("#")[0].strip()
        signed_by = ""
        match = re.match(r"deb\s+\[([^\]]*)\]\s+(.*)", line)
        if match:
            options, rest = match.groups()
            found = re.search(r"signed-by=(\S+)", options)
            signed_by = found.group(1) if found else ""
        elif line.startswith("deb "):
            rest = line[4:]
        else:
            continue
        parts = rest.split()
        if len(parts) >= 3:
            add([parts[0]], [parts[1]], parts[2:], signed_by)

print("\n".join(dict.fromkeys(entries)))
