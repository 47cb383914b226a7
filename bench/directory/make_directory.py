#!/usr/bin/env python3
"""Writes the benchmark directory twice: as a Kestrel directory file and as LDIF for slapd.

BENCH_TREE: O=Bench, its admin CN=Admin.O=Bench (password "secret") and OU=Pool.O=Bench
holding N workstations WS0..WS<N-1>, each with the 25 workstation attributes (texts,
network addresses, times, integers, octets). The same values go into both files, under LDAP
names made of the attribute names without their punctuation.

    make_directory.py COUNT OUTPUT_FOLDER [--lean]

With --lean the workstations have no attributes but their names (for directories of
millions, where the name search is what is measured).
"""
import crypt
import os
import sys

TEXT = [
    "WM:NAME Computer", "WM:NAME Domain", "WM:NAME DNS", "WM:Operator", "WM:Description",
    "WM:Location", "WM:Department", "WM:Asset Tag", "ZEN:INV OS Name", "ZEN:INV OS Version",
    "ZEN:INV Processor", "ZEN:INV BIOS", "ZEN:INV Serial Number", "ZEN:INV Model",
    "ZEN:INV Vendor", "ZEN:INV Video Adapter", "ZEN:INV Disk Model",
]
ADDRESS = "WM:Network Address"
TIMES = ["WM:Last Registered Time", "ZEN:INV Scan Time"]
INTEGERS = ["WM:INV Physical Memory", "ZEN:INV Disk Size", "ZEN:INV Processor Speed"]
OCTETS = ["ZEN:INV NIC Type", "ZEN:INV Boot Sector"]
ALL = TEXT + [ADDRESS] + TIMES + INTEGERS + OCTETS
assert len(ALL) == 25


def ldap_name(name):
    return "kz" + "".join(c for c in name if c.isalnum())


def values(i):
    """Per attribute: (json values, ldap values)."""
    name = "WS%d" % i
    out = {}
    for k, attr in enumerate(TEXT):
        text = name if k == 0 else "%s %s %d" % (attr.split()[-1], name, k)
        out[attr] = (['"%s"' % text], [text])
    address = "127.%d.%d.%d" % ((i >> 16) & 255, (i >> 8) & 255, i & 255)
    ipx = "01010000:00A0C9%06X:4006" % (i & 0xFFFFFF)
    out[ADDRESS] = (['"%s"' % ipx, '"%s"' % address], [ipx, address])
    for k, attr in enumerate(TIMES):
        t = 915239109 + i * 7 + k
        out[attr] = (['{"time": %d}' % t], [str(t)])
    for k, attr in enumerate(INTEGERS):
        n = 67108864 + i * (k + 1)
        out[attr] = (['{"integer": %d}' % n], [str(n)])
    for k, attr in enumerate(OCTETS):
        h = "%08x%08x45746865726e6574" % (i, k)
        out[attr] = (['{"octets": "hex:%s"}' % h], [h])
    return out


def main():
    count, folder = int(sys.argv[1]), sys.argv[2]
    lean = "--lean" in sys.argv[3:]
    os.makedirs(folder, exist_ok=True)
    password = crypt.crypt("secret", crypt.mksalt(crypt.METHOD_SHA512))
    with open(os.path.join(folder, "directory.json"), "w") as js, \
            open(os.path.join(folder, "directory.ldif"), "w") as ld:
        js.write('{"trees": [{"name": "BENCH_TREE", "objects": [\n')
        js.write('{"name": "O=Bench", "class": "Organization"},\n')
        js.write('{"name": "CN=Admin.O=Bench", "class": "User", "password": "%s"},\n' % password)
        js.write('{"name": "OU=Pool.O=Bench", "class": "Organizational Unit"}')
        ld.write("dn: o=Bench\nobjectClass: organization\no: Bench\n\n")
        ld.write("dn: cn=Admin,o=Bench\nobjectClass: person\ncn: Admin\nsn: Admin\n"
                 "userPassword: secret\n\n")
        ld.write("dn: ou=Pool,o=Bench\nobjectClass: organizationalUnit\nou: Pool\n\n")
        for i in range(count):
            attrs = {} if lean else values(i)
            members = ", ".join('"%s": [%s]' % (a, ", ".join(attrs[a][0])) for a in attrs)
            js.write(',\n{"name": "CN=WS%d.OU=Pool.O=Bench", "class": "Workstation", '
                     '"attributes": {%s}}' % (i, members))
            lines = ["dn: cn=WS%d,ou=Pool,o=Bench" % i, "objectClass: kzWorkstation",
                     "cn: WS%d" % i]
            for a in attrs:
                lines += ["%s: %s" % (ldap_name(a), v) for v in attrs[a][1]]
            ld.write("\n".join(lines) + "\n\n")
        js.write("\n]}]}\n")
    with open(os.path.join(folder, "kestrel.schema"), "w") as schema:
        for n, a in enumerate(ALL, start=1):
            schema.write("attributetype ( 1.3.6.1.4.1.99999.1.%d NAME '%s' EQUALITY "
                         "caseIgnoreMatch SUBSTR caseIgnoreSubstringsMatch SYNTAX "
                         "1.3.6.1.4.1.1466.115.121.1.15 )\n" % (n, ldap_name(a)))
        schema.write("objectclass ( 1.3.6.1.4.1.99999.2.1 NAME 'kzWorkstation' SUP top "
                     "STRUCTURAL MUST cn MAY ( %s ) )\n" % " $ ".join(ldap_name(a) for a in ALL))


if __name__ == "__main__":
    main()
