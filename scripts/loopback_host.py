#!/usr/bin/env python3
"""Prints "yes" when the service host given (host or host:port) is this machine, whatever
way it is spelt: a loopback or unspecified address in any spelling (127.1, 2130706433,
[::ffff:7f00:1], 0), localhost and its kin, a name /etc/hosts gives such an address, or this
machine's own name. No DNS is asked. Used by scripts/service_settings.sh."""
import ipaddress, socket, sys
host = sys.argv[1].lower()
name = host[1:host.find("]")] if host.startswith("[") else host.rsplit(":", 1)[0]
name = name.rstrip(".")
def local(address):
    try:
        ip = ipaddress.ip_address(address.split("%")[0])
    except ValueError:
        try:  # the IPv4 spellings the C library also accepts
            ip = ipaddress.ip_address(socket.inet_aton(address))
        except OSError:
            return False
    ip = getattr(ip, "ipv4_mapped", None) or ip
    return ip.is_loopback or ip.is_unspecified
hosts = {}
with open("/etc/hosts") as table:
    for line in table:
        fields = line.split("#")[0].split()
        for alias in fields[1:]:
            hosts.setdefault(alias.lower(), []).append(fields[0])
if (name in ("localhost", "ip6-localhost", "ip6-loopback") or name.endswith(".localhost")
        or local(name) or name == socket.gethostname().lower()
        or any(local(address) for address in hosts.get(name, []))):
    print("yes")
