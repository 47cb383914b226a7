#!/usr/bin/env python3
"""Check a directory file for the Kestrel directory client.

Without a file argument the committed sample (sample.json beside this script) is checked,
including the features the tests rely on. Exits 0 when the file is fine, 1 on any
violation (each one printed to standard error), 2 on bad usage.

Checked for every file:
  * well-formed JSON without duplicate keys, in the directory file format
    (trees, objects, value kinds, forced text syntaxes, hex/base64 data)
  * names: typed and leaf first, at most 256 characters, naming type fits the class,
    no two names in a tree that differ only in the case of ASCII letters, every object's
    container listed earlier in the same tree and of a container class
  * attribute names at most 32 characters; all values of an attribute of one syntax, none
    repeated (compared as the client compares them: text other than case exact strings
    without regard to the case of ASCII letters, everything else as it is)
  * every IPv4 address anywhere (text, octets, network addresses) lies in 127.0.0.0/8
  * every user has a SHA-512 crypt password that verifies against its documented
    password (see --password, --cn-passwords, --no-password-check)
  * at least --min-workstations workstations
"""

from __future__ import annotations

import argparse
import base64
import binascii
import json
import os
import re
import sys
from collections import defaultdict

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from generate import SAMPLE_PASSWORDS, parse_setting, verify_password  # noqa: E402

MAX_NAME = 256
MAX_ATTR_NAME = 32
TEXT_SYNTAXES = {1, 2, 3, 4, 5, 10, 20}
CONTAINERS = {"Country", "Locality", "Organization", "Organizational Unit"}
NAMING = {"Country": {"C"}, "Organization": {"O"}, "Organizational Unit": {"OU"},
          "Locality": {"L", "S"}}
LEAF_NAMING = {"CN"}
TOP_LEVEL = {"C", "O", "L", "S"}
HASH_RE = re.compile(r"^\$6\$(rounds=\d+\$)?[./0-9A-Za-z]{1,16}\$[./0-9A-Za-z]{86}$")
IPV4_RE = re.compile(r"(?<![\d.])(\d{1,3})\.(\d{1,3})\.(\d{1,3})\.(\d{1,3})(?![\d.])")
IPX_RE = re.compile(r"^[0-9A-Fa-f]{8}:[0-9A-Fa-f]{12}(:[0-9A-Fa-f]{4})?$")

# What a registered sample workstation carries (the IP ones may be missing on a
# machine that registered over IPX only).
WORKSTATION_ATTRS = [
    "WM:NAME Computer", "WM:NAME OS", "WM:NAME DNS", "WM:Network Address",
    "WM:Last Registered Time", "WM:INV Physical Memory",
    "ZEN:INV Computer Type", "ZEN:INV Computer Model", "ZEN:INV Model Number",
    "ZEN:INV Serial Number", "ZEN:INV Asset Tag", "ZEN:INV OS Type", "ZEN:INV OS Revision",
    "ZEN:INV Novell Client Version", "ZEN:INV BIOS Type", "ZEN:INV IP Address",
    "ZEN:INV IPX Address", "ZEN:INV MAC Address", "ZEN:INV Memory Size",
    "ZEN:INV Processor Type", "ZEN:INV Subnet Address", "ZEN:INV Disk Info",
    "ZEN:INV NIC Type", "ZEN:INV Video Type", "ZEN:INV Last Scan Date",
]
IP_ONLY_ATTRS = {"ZEN:INV IP Address", "ZEN:INV Subnet Address"}


class DuplicateKey(ValueError):
    pass


def _no_duplicates(pairs):
    seen = {}
    for key, value in pairs:
        if key in seen:
            raise DuplicateKey(f"duplicate key {key!r}")
        seen[key] = value
    return seen


def split_name(name: str) -> list[str]:
    """Leaf-first name parts. Name parts cannot contain dots: the format has no escape."""
    return name.split(".")


def ascii_lower(text: str) -> str:
    """Lower-cases A-Z only, as the client compares names and text values."""
    return text.translate(ASCII_LOWER)


ASCII_LOWER = str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz")


def rdn_type(rdn: str) -> str | None:
    kind, eq, value = rdn.partition("=")
    return kind.upper() if eq and kind and value else None


class Checker:
    def __init__(self, label: str, password_rule: str, password: str | None):
        self.label = label
        self.rule = password_rule          # "sample", "cn", "one", "none"
        self.password = password
        self.errors: list[str] = []
        self.workstations = 0
        self.users = 0
        self.objects = 0
        self._verified: dict[tuple[str, str], bool] = {}

    def fail(self, where: str, message: str) -> None:
        self.errors.append(f"{self.label}: {where}: {message}")

    # -- values ------------------------------------------------------------

    def ipv4(self, where: str, textval: str) -> None:
        for m in IPV4_RE.finditer(textval):
            quad = [int(x) for x in m.groups()]
            if all(q <= 255 for q in quad) and quad[0] != 127:
                self.fail(where, f"IPv4 address {m.group(0)} outside 127.0.0.0/8")

    def value(self, where: str, v) -> tuple:
        """Validates one value; returns its syntax (None when it is broken) and a key for the
        duplicate-value check."""
        if isinstance(v, str):
            if not v:
                self.fail(where, "empty text value")
            self.ipv4(where, v)
            return (3, ascii_lower(v))
        if not isinstance(v, dict) or len(v) == 0:
            self.fail(where, f"value must be a string or an object, not {json.dumps(v)}")
            return (None, json.dumps(v))
        keys = set(v)
        if "string" in keys:
            if keys != {"string", "syntax"}:
                self.fail(where, f"forced text needs exactly string and syntax: {sorted(keys)}")
            s, syn = v.get("string"), v.get("syntax")
            if not isinstance(s, str) or not s:
                self.fail(where, "\"string\" must be non-empty text")
            elif isinstance(syn, bool) or syn not in TEXT_SYNTAXES:
                self.fail(where, f"syntax {syn!r} is not one of {sorted(TEXT_SYNTAXES)}")
            else:
                self.ipv4(where, s)
                return (syn, s if syn == 2 else ascii_lower(s))
            return (None, json.dumps(v))
        if len(keys) != 1:
            self.fail(where, f"value object with several kinds: {sorted(keys)}")
            return (None, json.dumps(v))
        kind = next(iter(keys))
        x = v[kind]
        if kind == "integer":
            if isinstance(x, bool) or not isinstance(x, int) or not -2**31 <= x < 2**31:
                self.fail(where, f"integer must be a 32-bit whole number: {x!r}")
                return (None, x)
            return (8, x)
        if kind == "time":
            if isinstance(x, bool) or not isinstance(x, int) or not 0 <= x < 2**32:
                self.fail(where, f"time must be seconds since 1970 (0..2^32-1): {x!r}")
                return (None, x)
            return (24, x)
        if kind == "octets":
            data = self.octets(where, x)
            if data is None:
                return (None, x)
            self.ipv4(where, data.decode("latin-1"))
            return (9, data)
        if kind == "netaddress":
            address = self.netaddress(where, x)
            return (12, address) if address is not None else (None, json.dumps(x))
        self.fail(where, f"unknown value kind {kind!r}")
        return (None, json.dumps(x, sort_keys=True))

    def octets(self, where: str, x) -> bytes | None:
        try:
            if isinstance(x, str) and x.startswith("hex:"):
                if len(x) % 2:
                    raise ValueError("odd number of hex digits")
                return bytes.fromhex(x[4:])
            if isinstance(x, str) and x.startswith("base64:"):
                return base64.b64decode(x[7:], validate=True)
            raise ValueError("must start with hex: or base64:")
        except (ValueError, binascii.Error) as e:
            self.fail(where, f"bad octets {str(x)[:40]!r}: {e}")
            return None

    def netaddress(self, where: str, x) -> tuple | None:
        """Validates a network address; returns its type and bytes, None when broken."""
        if not isinstance(x, dict) or set(x) != {"type", "hex"}:
            self.fail(where, "netaddress needs exactly type and hex")
            return None
        kind, hexdata = x["type"], x["hex"]
        if isinstance(kind, bool) or not isinstance(kind, int) or kind < 0:
            self.fail(where, f"netaddress type must be a whole number >= 0: {kind!r}")
            return None
        try:
            if not isinstance(hexdata, str) or len(hexdata) % 2:
                raise ValueError
            data = bytes.fromhex(hexdata)
        except ValueError:
            self.fail(where, f"netaddress hex is not whole bytes of hex: {hexdata!r}")
            return None
        sizes = {0: 12, 1: 4, 8: 6, 9: 6}   # IPX, IP, UDP and TCP (port then address)
        if kind in sizes and len(data) != sizes[kind]:
            self.fail(where, f"netaddress type {kind} must be {sizes[kind]} bytes, not {len(data)}")
            return None
        ip = data if kind == 1 else data[2:] if kind in (8, 9) else None
        if ip is not None and ip[0] != 127:
            self.fail(where, f"IPv4 address {'.'.join(map(str, ip))} outside 127.0.0.0/8")
        return (kind, data)

    # -- objects -----------------------------------------------------------

    def password_for(self, tree: str, name: str) -> str | None:
        if self.rule == "one":
            return self.password
        if self.rule == "sample" and (tree, name) in SAMPLE_PASSWORDS:
            return SAMPLE_PASSWORDS[(tree, name)]
        return split_name(name)[0].partition("=")[2].lower()

    def check_password(self, where: str, tree: str, name: str, hashed) -> None:
        if not isinstance(hashed, str) or not HASH_RE.match(hashed):
            self.fail(where, "password is not a SHA-512 crypt hash ($6$salt$...)")
            return
        if self.rule == "none":
            return
        expected = self.password_for(tree, name)
        key = (expected, hashed)
        if key not in self._verified:
            try:
                parse_setting(hashed)
                self._verified[key] = verify_password(expected, hashed)
            except ValueError:
                self._verified[key] = False
        if not self._verified[key]:
            self.fail(where, "password hash does not match the documented password")

    def tree(self, t, index: int, seen_trees: set) -> list[dict]:
        where = f"tree #{index + 1}"
        if not isinstance(t, dict) or set(t) != {"name", "objects"}:
            self.fail(where, "a tree is {\"name\": ..., \"objects\": [...]}")
            return []
        tname, objects = t["name"], t["objects"]
        if not isinstance(tname, str) or not tname:
            self.fail(where, "tree name must be non-empty text")
            return []
        if ascii_lower(tname) in seen_trees:
            self.fail(where, f"tree {tname} listed twice")
        seen_trees.add(ascii_lower(tname))
        if not isinstance(objects, list):
            self.fail(tname, "objects must be a list")
            return []
        by_name: dict[str, dict] = {}
        good = []
        for i, obj in enumerate(objects):
            if self.object(tname, i, obj, by_name):
                good.append(obj)
        return good

    def object(self, tree: str, i: int, obj, by_name: dict) -> bool:
        where = f"{tree}: object #{i + 1}"
        if not isinstance(obj, dict):
            self.fail(where, "an object must be a JSON object")
            return False
        extra = set(obj) - {"name", "class", "password", "attributes"}
        if extra:
            self.fail(where, f"unknown keys {sorted(extra)}")
        name, cls = obj.get("name"), obj.get("class")
        if not isinstance(name, str) or not name or not isinstance(cls, str) or not cls:
            self.fail(where, "name and class must be non-empty text")
            return False
        where = f"{tree}: {name}"
        self.objects += 1
        if len(name) > MAX_NAME:
            self.fail(where, f"name longer than {MAX_NAME} characters")
        self.ipv4(where, name)
        parts = split_name(name)
        types = [rdn_type(p) for p in parts]
        if None in types:
            self.fail(where, "every name part must be TYPE=value (typed, leaf first)")
            return False
        allowed = NAMING.get(cls, LEAF_NAMING)
        if types[0] not in allowed:
            self.fail(where, f"a {cls} is named with {'/'.join(sorted(allowed))}=, not {types[0]}=")
        key = ascii_lower(name)
        if key in by_name:
            self.fail(where, f"same name (ignoring case) as {by_name[key]['name']}")
        if len(parts) == 1:
            if types[0] not in TOP_LEVEL:
                self.fail(where, "only C=, O=, L= and S= objects may sit at the top of a tree")
        else:
            parent = ascii_lower(".".join(parts[1:]))
            if parent not in by_name:
                self.fail(where, "its container is not listed before it")
            elif by_name[parent]["class"] not in CONTAINERS:
                self.fail(where, f"its container is a {by_name[parent]['class']}, not a container")
        by_name.setdefault(key, obj)

        if cls == "User":
            self.users += 1
            if "password" not in obj:
                self.fail(where, "user without password")
            else:
                self.check_password(where, tree, name, obj["password"])
        elif "password" in obj:
            self.fail(where, "only users have a password")
        if cls == "Workstation":
            self.workstations += 1

        attrs = obj.get("attributes", {})
        if not isinstance(attrs, dict):
            self.fail(where, "attributes must be an object")
            return True
        for aname, values in attrs.items():
            at = f"{where}: {aname}"
            if not aname or len(aname) > MAX_ATTR_NAME:
                self.fail(at, f"attribute name must have 1..{MAX_ATTR_NAME} characters")
            if not isinstance(values, list) or not values:
                self.fail(at, "values must be a non-empty list")
                continue
            seen = set()
            syntaxes = set()
            for v in values:
                syntax, key = k = self.value(at, v)
                if syntax is None:
                    continue
                syntaxes.add(syntax)
                if len(syntaxes) > 1:
                    self.fail(at, "all values of an attribute must have the same syntax: "
                                  f"{json.dumps(v)[:60]} differs from the values before it")
                    break
                if k in seen:
                    self.fail(at, f"value repeated: {json.dumps(v)[:60]}")
                seen.add(k)
        return True


# -- the edge cases of the sample ---------------------------------------------

def leaf(name: str) -> str:
    return split_name(name)[0]


def parent_of(name: str) -> str:
    return ".".join(split_name(name)[1:]).casefold()


def octet_lengths(values) -> list[int]:
    out = []
    for v in values:
        if isinstance(v, dict) and isinstance(v.get("octets"), str):
            x = v["octets"]
            try:
                out.append(len(bytes.fromhex(x[4:]) if x.startswith("hex:")
                               else base64.b64decode(x[7:])))
            except (ValueError, binascii.Error):
                pass
    return out


def check_sample(c: Checker, trees: list[tuple[str, list[dict]]]) -> None:
    def need(ok: bool, what: str) -> None:
        if not ok:
            c.fail("sample", what)

    need(len(trees) >= 2, "needs at least two trees")
    everything = [(t, o) for t, objs in trees for o in objs]
    names = {(t, o["name"]) for t, o in everything}
    for (tree, name) in SAMPLE_PASSWORDS:
        need((tree, name) in names, f"documented user {name} missing from {tree}")

    classes = defaultdict(set)
    for t, o in everything:
        classes[o["class"]].add(rdn_type(leaf(o["name"])))
    for cls in ["Country", "Organization", "Organizational Unit", "User", "Group", "NCP Server",
                "Volume", "Printer", "Alias", "Workstation"]:
        need(cls in classes, f"no object of class {cls}")
    need({"L", "S"} <= classes.get("Locality", set()), "needs Localities named L= and S=")
    need(any(o["class"] == "Organizational Unit" and rdn_type(split_name(o["name"])[1]) == "OU"
             for _, o in everything), "no Organizational Unit inside another")
    need(all(any(o["class"] == "Group" and "Member" in o.get("attributes", {}) for o in objs)
             for _, objs in trees), "every tree needs a group with Member values")

    for tname, objs in trees:
        holders = {parent_of(o["name"]) for o in objs if o["class"] == "Workstation"}
        need(len(holders) >= 3, f"{tname}: workstations should sit in several containers")

    children = defaultdict(list)
    for t, o in everything:
        children[(t, parent_of(o["name"]))].append(o)
    containers = [(t, o) for t, o in everything if o["class"] in CONTAINERS]
    need(any(children[(t, o["name"].casefold())] and
             all(k["class"] in ("User", "Group") for k in children[(t, o["name"].casefold())])
             for t, o in containers), "no container holding only users and groups")
    need(any([k["name"].casefold() for k in kids] != sorted(k["name"].casefold() for k in kids)
             and sum(k["class"] == "Workstation" for k in kids) >= 3
             for kids in children.values()), "no container listing its children out of order")
    need(any({"CN=PC1", "CN=NB1", "OU=SALES"} <= {leaf(k["name"]).upper() for k in kids}
             for kids in children.values()), "no container holding PC1, NB1 and OU=Sales")

    ws = [(t, o) for t, o in everything if o["class"] == "Workstation"]
    cns = [leaf(o["name"])[3:] for _, o in ws]
    need(any("PC" in n for n in cns) and any("pc" in n or "Pc" in n for n in cns),
         "needs workstations whose names hold PC in different cases")
    need(any("sales" in leaf(o["name"]).casefold()
             and all(p.upper() != "OU=SALES" for p in split_name(o["name"])[1:])
             for _, o in ws), "needs a workstation named like Sales outside OU=Sales")

    unregistered, ipx_only, netaddr, long_history, octet200, failures = 0, 0, 0, 0, 0, 0
    for t, o in ws:
        a = o.get("attributes", {})
        where = f"{t}: {o['name']}"
        if not any(k.startswith(("WM:", "ZEN:INV")) for k in a):
            unregistered += 1
            continue
        addrs = a.get("WM:Network Address", [])
        texts = [v for v in addrs if isinstance(v, str)]
        has_ip = any(IPV4_RE.search(v) for v in texts) or any(isinstance(v, dict) for v in addrs)
        for v in texts:
            if not IPX_RE.match(v) and not IPV4_RE.fullmatch(v):
                c.fail(where, f"WM:Network Address value is neither IPX nor IPv4: {v}")
        if texts and all(IPX_RE.match(v) for v in texts) and len(texts) == len(addrs):
            ipx_only += 1
        if any(isinstance(v, dict) and "netaddress" in v for v in addrs):
            netaddr += 1
        long_history += len(a.get("WM:User History", [])) >= 20
        octet200 += any(n == 200 for vals in a.values() for n in octet_lengths(vals))
        failures += any("?" in v for v in a.get("ZEN:INV Last Scan Date", []) if isinstance(v, str))
        for attr in WORKSTATION_ATTRS:
            if attr not in a and not (attr in IP_ONLY_ATTRS and not has_ip):
                c.fail(where, f"registered workstation without {attr}")
        if a.get("WM:NAME Computer") != [leaf(o["name"])[3:]]:
            c.fail(where, "WM:NAME Computer differs from the object's name")
        for v in a.get("WM:Last Registered Time", []):
            if not (isinstance(v, dict) and 788918400 <= v.get("time", 0) < 946684800):
                c.fail(where, "WM:Last Registered Time is not in 1995-1999")
    need(unregistered >= 1, "no workstation without registration attributes")
    need(ipx_only >= 1, "no workstation registered with an IPX address only")
    need(netaddr >= 1, "no WM:Network Address given as a netaddress value")
    need(long_history >= 1, "no workstation with a long user history (20 or more)")
    need(octet200 >= 1, "no octet value of exactly 200 bytes")
    need(failures >= 3, "needs several scan-failure reports in ZEN:INV Last Scan Date")


def main(argv: list[str] | None = None) -> int:
    here = os.path.dirname(os.path.abspath(__file__))
    p = argparse.ArgumentParser(description="Check a directory file; exit 1 on any violation.")
    p.add_argument("file", nargs="?", help="directory file (default: the sample, with --sample checks)")
    p.add_argument("--sample", action="store_true",
                   help="also check the edge cases of the sample and its documented passwords")
    g = p.add_mutually_exclusive_group()
    g.add_argument("--password", metavar="PW", help="every user's password is PW")
    g.add_argument("--cn-passwords", action="store_true",
                   help="every user's password is its common name in lower case (default for a named file)")
    g.add_argument("--no-password-check", action="store_true",
                   help="only check that passwords look like SHA-512 crypt hashes")
    p.add_argument("--min-workstations", type=int, metavar="N",
                   help="fewest workstations allowed (default 50 with --sample, else 0)")
    a = p.parse_args(sys.argv[1:] if argv is None else argv)

    path = a.file or os.path.join(here, "sample.json")
    sample = a.sample or a.file is None
    rule = ("one" if a.password is not None else "none" if a.no_password_check
            else "cn" if a.cn_passwords else "sample" if sample else "cn")
    minimum = a.min_workstations if a.min_workstations is not None else (50 if sample else 0)
    c = Checker(os.path.basename(path), rule, a.password)

    try:
        with open(path, encoding="utf-8") as f:
            doc = json.load(f, object_pairs_hook=_no_duplicates)
    except (OSError, UnicodeDecodeError, ValueError) as e:
        print(f"{c.label}: {e}", file=sys.stderr)
        return 1

    trees: list[tuple[str, list[dict]]] = []
    if not isinstance(doc, dict) or set(doc) != {"trees"} or not isinstance(doc["trees"], list):
        c.fail("top level", "the file must be {\"trees\": [...]}")
    else:
        seen: set = set()
        for i, t in enumerate(doc["trees"]):
            objs = c.tree(t, i, seen)
            if objs:
                trees.append((t["name"], objs))
        if not doc["trees"]:
            c.fail("top level", "no trees")
    if c.workstations < minimum:
        c.fail("top level", f"{c.workstations} workstations, fewer than {minimum}")
    if sample and not c.errors:
        check_sample(c, trees)

    if c.errors:
        for line in c.errors[:100]:
            print(line, file=sys.stderr)
        if len(c.errors) > 100:
            print(f"... and {len(c.errors) - 100} more", file=sys.stderr)
        return 1
    print(f"{c.label}: OK: {len(trees)} trees, {c.objects} objects, "
          f"{c.workstations} workstations, {c.users} users")
    return 0


if __name__ == "__main__":
    sys.exit(main())
