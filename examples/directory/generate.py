#!/usr/bin/env python3
"""Write a directory file for the Kestrel directory client.

Two modes:

  --sample     the hand-laid sample directory (ACME_TREE and GLOBEX_TREE) that is
               committed as examples/directory/sample.json; the same seed always gives
               the same bytes, so the sample can be regenerated and diffed.
  (default)    a synthetic directory of any size for benchmarks and tests: one
               Organization per tree, a grid of Organizational Units, users, a group
               and workstations in every unit.

Output is streamed object by object, so 100,000 workstations in one container take
seconds and little memory. Standard library only.

Passwords are stored as SHA-512 crypt(3) hashes ("$6$salt$..."). Unless told otherwise
every generated user's password is its common name in lower case (CN=user0001 ->
"user0001"); see --password and --password-hash to avoid per-user hashing cost.
"""

from __future__ import annotations

import argparse
import base64
import datetime
import functools
import hashlib
import json
import os
import random
import shutil
import subprocess
import sys
import warnings
from typing import Iterable, Iterator, TextIO

# ---------------------------------------------------------------------------
# SHA-512 crypt
# ---------------------------------------------------------------------------

_ITOA64 = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
_SALT_MAX = 16
_ROUNDS_DEFAULT = 5000
MAX_NAME = 256          # characters in a full object name

try:  # deprecated since 3.11 and gone in 3.13; libc's implementation is the fast one
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", DeprecationWarning)
        import crypt as _crypt  # type: ignore[import-not-found]
except ImportError:  # pragma: no cover - depends on the Python version
    _crypt = None


def _sha512_crypt_py(password: bytes, salt: bytes, rounds: int, explicit_rounds: bool) -> str:
    """The SHA-512 crypt algorithm in plain Python (used when neither libc's crypt
    nor openssl is at hand, and for hashes with a rounds= prefix openssl cannot make)."""
    salt = salt[:_SALT_MAX]
    plen, slen = len(password), len(salt)

    alt = hashlib.sha512(password + salt + password).digest()
    a = hashlib.sha512(password + salt)
    a.update(alt * (plen // 64) + alt[: plen % 64])
    i = plen
    while i:
        a.update(alt if i & 1 else password)
        i >>= 1
    a_digest = a.digest()

    dp = hashlib.sha512(password * plen).digest()
    p = dp * (plen // 64) + dp[: plen % 64]
    ds = hashlib.sha512(salt * (16 + a_digest[0])).digest()
    s = ds * (slen // 64) + ds[: slen % 64]

    c = a_digest
    for r in range(rounds):
        h = hashlib.sha512(p if r & 1 else c)
        if r % 3:
            h.update(s)
        if r % 7:
            h.update(p)
        h.update(c if r & 1 else p)
        c = h.digest()

    out = []

    def b64(b2: int, b1: int, b0: int, n: int) -> None:
        w = (b2 << 16) | (b1 << 8) | b0
        for _ in range(n):
            out.append(_ITOA64[w & 63])
            w >>= 6

    # The byte order is fixed by the algorithm: groups (0,21,42), (22,43,1), (44,2,23), ...
    idx = [0, 21, 42]
    for _ in range(21):
        b64(c[idx[0]], c[idx[1]], c[idx[2]], 4)
        idx = [idx[1] + 1, idx[2] + 1, idx[0] + 1]
    b64(0, 0, c[63], 2)

    prefix = "$6$" + (f"rounds={rounds}$" if explicit_rounds else "")
    return prefix + salt.decode("ascii") + "$" + "".join(out)


def _openssl_passwd(password: str, salt: str) -> str | None:
    exe = shutil.which("openssl")
    if exe is None or not password or "\n" in password or "\r" in password:
        return None
    # -stdin keeps the password off the process list.
    res = subprocess.run([exe, "passwd", "-6", "-salt", salt, "-stdin"],
                         input=password + "\n", capture_output=True, text=True,
                         encoding="utf-8", check=False)
    value = res.stdout.strip()
    return value if res.returncode == 0 and value.startswith("$6$") else None


def parse_setting(setting: str) -> tuple[str, int | None]:
    """Salt and explicit round count of a "$6$[rounds=N$]salt[$hash]" string."""
    if not setting.startswith("$6$"):
        raise ValueError("not a SHA-512 crypt string")
    rest = setting[3:]
    rounds = None
    if rest.startswith("rounds="):
        count, _, rest = rest[7:].partition("$")
        if not count.isdigit():
            raise ValueError("bad rounds= field")
        rounds = int(count)
    salt = rest.split("$", 1)[0][:_SALT_MAX]
    return salt, rounds


def sha512_crypt(password: str, salt: str, rounds: int | None = None) -> str:
    """Hash as crypt(3) with a "$6$" setting does. Uses libc's crypt when Python
    still has the module, else `openssl passwd -6`, else the Python version."""
    if any(ch not in _ITOA64 for ch in salt) or not salt:
        raise ValueError(f"salt must be 1-16 characters of [./0-9A-Za-z]: {salt!r}")
    salt = salt[:_SALT_MAX]
    setting = "$6$" + (f"rounds={rounds}$" if rounds is not None else "") + salt
    if _crypt is not None:
        value = _crypt.crypt(password, setting)
        if value and value.startswith("$6$"):
            return value
    if rounds is None:
        value = _openssl_passwd(password, salt)
        if value is not None:
            return value
    effective = _ROUNDS_DEFAULT if rounds is None else min(max(rounds, 1000), 999_999_999)
    return _sha512_crypt_py(password.encode("utf-8"), salt.encode("ascii"), effective,
                            rounds is not None)


def verify_password(password: str, hashed: str) -> bool:
    salt, rounds = parse_setting(hashed)
    return sha512_crypt(password, salt, rounds) == hashed


def derived_salt(*parts: object) -> str:
    """A 16-character salt that depends only on its inputs, so output is reproducible."""
    digest = hashlib.sha256("\x1f".join(map(str, parts)).encode("utf-8")).digest()
    return "".join(_ITOA64[b & 63] for b in digest[:_SALT_MAX])


# ---------------------------------------------------------------------------
# Values and the streamed writer
# ---------------------------------------------------------------------------

def text(value: str, syntax: int | None = None):
    return value if syntax is None else {"string": value, "syntax": syntax}


def integer(value: int):
    return {"integer": value}


def timeval(seconds: int):
    return {"time": seconds}


def octets(data: bytes, encoding: str = "hex"):
    if encoding == "hex":
        return {"octets": "hex:" + data.hex()}
    return {"octets": "base64:" + base64.b64encode(data).decode("ascii")}


def netaddress(kind: int, data: bytes):
    return {"netaddress": {"type": kind, "hex": data.hex()}}


# One encoder for the whole run: json.dumps builds a new one per call, which is most
# of the time spent on a large directory.
_dumps = json.JSONEncoder(ensure_ascii=False, separators=(", ", ": ")).encode
_quote = json.encoder.encode_basestring


@functools.lru_cache(maxsize=4096)
def _attr_prefix(name: str) -> str:
    return '          ' + _quote(name) + ": "


def _values(values: list) -> str:
    # Text lists are the common case; quoting them directly is several times faster.
    return "[" + ", ".join(_quote(v) if type(v) is str else _dumps(v) for v in values) + "]"


def format_object(obj: dict) -> str:
    """One object, one line per attribute: readable and diff-friendly."""
    head = '      { "name": ' + _dumps(obj["name"]) + ', "class": ' + _dumps(obj["class"])
    if "password" in obj:
        head += ', "password": ' + _dumps(obj["password"])
    attrs = obj.get("attributes")
    if not attrs:
        return head + " }"
    lines = [_attr_prefix(k) + _values(v) for k, v in attrs.items()]
    return head + ',\n        "attributes": {\n' + ",\n".join(lines) + " } }"


class DirectoryWriter:
    """Writes {"trees": [...]} incrementally; objects never pile up in memory."""

    def __init__(self, out: TextIO):
        self._out = out
        self._trees = 0

    def __enter__(self) -> "DirectoryWriter":
        self._out.write('{ "trees": [')
        return self

    def __exit__(self, exc_type, *exc) -> None:
        if exc_type is None:   # a failed run must not look like a complete file
            self._out.write(" ] }\n")

    def tree(self, name: str, objects: Iterable[dict]) -> None:
        sep = "," if self._trees else ""
        self._out.write(f'{sep}\n  {{ "name": {_dumps(name)},\n    "objects": [')
        first = True
        for obj in objects:
            if len(obj["name"]) > MAX_NAME:
                raise SystemExit(f"generate.py: name longer than {MAX_NAME} characters: "
                                 f"{obj['name'][:60]}... (use fewer levels or a shorter --org)")
            self._out.write(("\n" if first else ",\n") + format_object(obj))
            first = False
        self._out.write(" ] }")
        self._trees += 1


# ---------------------------------------------------------------------------
# Workstation profiles (invented hardware of the late 1990s)
# ---------------------------------------------------------------------------

T_1997 = 852076800            # 1997-01-01 00:00:00 UTC
T_1999 = 915148800            # 1999-01-01 00:00:00 UTC
T_1999_OCT = 938736000        # 1999-10-01 00:00:00 UTC

OPERATING_SYSTEMS = [
    # WM:NAME OS, ZEN:INV OS Type, revisions, client versions, weight
    ("WINNT", "Windows NT Workstation", ["4.00.1381 SP3", "4.00.1381 SP4", "4.00.1381 SP5"],
     ["4.60", "4.70", "4.71"], 5),
    ("WIN98", "Windows 98", ["4.10.1998", "4.10.2222 A"], ["3.10", "3.21"], 3),
    ("WIN95", "Windows 95", ["4.00.950", "4.00.950 B", "4.00.950 C"], ["3.10", "3.20"], 2),
]
DESKTOPS = [
    ("Desktop", "Vantage Pro 5200", "VP-5200", "VNT"),
    ("Desktop", "Meridian Office 350", "MO350-D", "MER"),
    ("Mini Tower", "Vantage Pro 6400", "VP-6400M", "VNT"),
    ("Tower", "Kornfeld Powerstation 7", "KPS7-T", "KFD"),
    ("Desktop", "Kornfeld Officeline 2", "KOL2-D", "KFD"),
]
LAPTOPS = [
    ("Laptop", "Meridian Travel 240", "MT240", "MER"),
    ("Notebook", "Vantage Note 500", "VN-500C", "VNT"),
]
PROCESSORS = [
    ("Pentium 166 MMX", [32, 48]),
    ("Pentium Pro 200", [64, 96]),
    ("Pentium II 300", [64, 128]),
    ("Pentium II 400", [128, 256]),
    ("Celeron 366", [64, 96]),
    ("Pentium III 450", [128, 256]),
    ("K6-2 350", [64, 128]),
]
BIOSES = ["Meridian BIOS 1.07", "Vantage BIOS A09", "Keystone BIOS v4.51PG",
          "Keystone BIOS v6.00PG", "Kornfeld BIOS R2.3"]
NICS = [("3Com EtherLink III", "0020AF"), ("Corvid FastLink 10/100 PCI", "00A0C9"),
        ("Corvid EtherCard ISA", "0060B0"), ("NE2000 Compatible", "00104B")]
VIDEO = ["Chroma 3D 4 MB AGP", "Vesta Trio 2 MB PCI", "Standard VGA", "Chroma 2D 8 MB AGP"]
FILESYSTEMS = {"WINNT": ["NTFS", "FAT"], "WIN98": ["FAT32"], "WIN95": ["FAT", "FAT32"]}


class Site:
    """What the machines of one container share: addresses, DNS domain, tag prefix."""

    def __init__(self, ipx_net: str, subnet: tuple[int, int, int], domain: str, tag: str):
        assert len(ipx_net) == 8 and subnet[0] == 127
        self.ipx_net = ipx_net.upper()
        self.subnet = subnet
        self.domain = domain
        self.tag = tag


def ipv4_of(site: Site, host: int) -> str:
    a, b, c = site.subnet
    return f"{a}.{b}.{c}.{host}"


def scan_date(seconds: int) -> str:
    return datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc).strftime("%m/%d/%y %H:%M")


def last_scan(rng: random.Random, registered: int) -> int:
    """Inventory came in 1999; scans ran at log-in during office hours."""
    day = max(registered, T_1999) // 86400 + rng.randrange(1, 60)
    return day * 86400 + rng.randrange(7 * 3600, 18 * 3600, 60)


def octet_text(rng: random.Random, value: str, nul: bool | None = None):
    """Inventory strings as the scanner stored them: text bytes, often zero-terminated,
    in either file encoding."""
    data = value.encode("ascii")
    if nul if nul is not None else rng.random() < 0.5:
        data += b"\0"
    return octets(data, "hex" if rng.random() < 0.7 else "base64")


def workstation_attributes(rng: random.Random, cn: str, site: Site, host: int, mac_tail: int,
                           history: list[str], full: bool = True,
                           serial_no: int | None = None) -> dict:
    """Registration (WM:) and inventory (ZEN:INV) attributes of one consistent machine."""
    os_name, os_type, revisions, clients, _ = rng.choices(
        OPERATING_SYSTEMS, weights=[o[4] for o in OPERATING_SYSTEMS])[0]
    laptop = cn.upper().startswith("NB")
    ctype, model, model_no, maker = rng.choice(LAPTOPS if laptop else DESKTOPS)
    cpu, memories = rng.choice(PROCESSORS)
    mem_mb = rng.choice(memories)
    nic, oui = rng.choice(NICS)
    mac = f"{oui}{mac_tail & 0xFFFFFF:06X}"
    ip = ipv4_of(site, host)
    ipx = f"{site.ipx_net}:{mac}"
    registered = rng.randrange(T_1997, T_1999_OCT)

    attrs: dict = {
        "WM:NAME Computer": [cn],
        "WM:NAME OS": [os_name],
        "WM:NAME DNS": [f"{cn.lower()}.{site.domain}"],
        "WM:Network Address": [f"{ipx}:4006", ip],
        "WM:User History": history,
        "WM:Last Registered Time": [timeval(registered)],
        "WM:INV Physical Memory": [integer(mem_mb * 1024 * 1024)],
    }
    if not history:
        del attrs["WM:User History"]
    if not full:
        return attrs

    disk_mb = rng.choice([1080, 2100, 3200, 4300, 6400, 8400])
    free_mb = rng.randrange(disk_mb // 10, disk_mb // 2)
    disk = f"C: {disk_mb} MB IDE {rng.choice(FILESYSTEMS[os_name])}, {free_mb} MB free"
    serial = serial_no if serial_no is not None else rng.randrange(10**6, 10**7)
    attrs.update({
        "ZEN:INV Computer Type": [ctype],
        "ZEN:INV Computer Model": [model],
        "ZEN:INV Model Number": [model_no],
        "ZEN:INV Serial Number": [f"{maker}{serial:07d}"],
        "ZEN:INV Asset Tag": [f"{site.tag}-{rng.randrange(100, 99999):05d}"],
        "ZEN:INV OS Type": [os_type],
        "ZEN:INV OS Revision": [rng.choice(revisions)],
        "ZEN:INV Novell Client Version": [rng.choice(clients)],
        "ZEN:INV BIOS Type": [rng.choice(BIOSES)],
        "ZEN:INV IP Address": [ip],
        "ZEN:INV IPX Address": [ipx],
        "ZEN:INV MAC Address": [mac],
        "ZEN:INV Memory Size": [f"{mem_mb} MB"],
        "ZEN:INV Processor Type": [cpu],
        "ZEN:INV Subnet Address": [ipv4_of(site, 0)],
        "ZEN:INV Disk Info": [octet_text(rng, disk)],
        "ZEN:INV NIC Type": [octet_text(rng, nic)],
        "ZEN:INV Video Type": [octet_text(rng, rng.choice(VIDEO))],
        "ZEN:INV Last Scan Date": [scan_date(last_scan(rng, registered))],
    })
    return attrs


# ---------------------------------------------------------------------------
# The sample directory
# ---------------------------------------------------------------------------

SAMPLE_PASSWORDS = {
    # (tree, object name) -> sample password; every other sample user's password is
    # its common name in lower case. Keep in step with README.md and check.py.
    ("ACME_TREE", "CN=Admin.O=Acme"): "acme",
    ("ACME_TREE", "CN=Demo.OU=IT.O=Acme"): "demo",
    ("GLOBEX_TREE", "CN=Admin.O=Globex"): "globex",
}

STAFF = [  # OU=Staff.O=Acme: the container with users and groups only
    ("bmeyer", "Birgit", "Meyer"), ("cwagner", "Carsten", "Wagner"), ("dlang", "Dora", "Lang"),
    ("efischer", "Emil", "Fischer"), ("fkoch", "Frieda", "Koch"), ("gbecker", "Gerd", "Becker"),
    ("hschulz", "Helga", "Schulz"), ("ihoffmann", "Ingo", "Hoffmann"),
    ("jkoenig", "Jana", "Koenig"), ("kwolf", "Klaus", "Wolf"), ("lneumann", "Lena", "Neumann"),
    ("mschwarz", "Malte", "Schwarz"), ("nzimmer", "Nina", "Zimmer"), ("obraun", "Olaf", "Braun"),
    ("pkrueger", "Petra", "Krueger"), ("rhartmann", "Rolf", "Hartmann"),
    ("slange", "Sabine", "Lange"), ("tschmitt", "Till", "Schmitt"),
    ("uwerner", "Ute", "Werner"), ("vkrause", "Volker", "Krause"),
    ("wmeier", "Wiebke", "Meier"), ("xlehmann", "Xaver", "Lehmann"),
    ("ykaiser", "Yvonne", "Kaiser"), ("zfuchs", "Zeno", "Fuchs"),
]


class SampleBuilder:
    """Collects the sample's objects in file order and knows which users exist."""

    def __init__(self, tree: str, seed: int, phone_prefix: str):
        self.tree = tree
        self.seed = seed
        self.phone_prefix = phone_prefix
        self.objects: list[dict] = []
        self.users: dict[str, list[str]] = {}   # container -> user names
        self._phone = 100
        self._macs: set[int] = set()

    def rng(self, name: str) -> random.Random:
        return random.Random(f"{self.seed}:{self.tree}:{name}")

    def add(self, name: str, cls: str, attrs: dict | None = None, **extra) -> dict:
        obj = {"name": name, "class": cls, **extra}
        if attrs:
            obj["attributes"] = attrs
        self.objects.append(obj)
        return obj

    def container(self, name: str, cls: str, description: str | None = None) -> str:
        self.add(name, cls, {"Description": [description]} if description else None)
        return name

    def user(self, cn: str, container: str, given: str, surname: str,
             password: str | None = None) -> str:
        name = f"CN={cn}.{container}"
        if password is None:
            password = SAMPLE_PASSWORDS.get((self.tree, name), cn.lower())
        hashed = sha512_crypt(password, derived_salt(self.seed, self.tree, name))
        self._phone += 7
        attrs = {
            "Surname": [surname],
            "Full Name": [f"{given} {surname}".strip()],
            "Telephone Number": [text(f"{self.phone_prefix} {self._phone:04d}", 10)],
        }
        self.add(name, "User", attrs, password=hashed)
        self.users.setdefault(container, []).append(name)
        return name

    def group(self, cn: str, container: str, members: list[str], description: str) -> str:
        name = f"CN={cn}.{container}"
        self.add(name, "Group", {"Description": [description], "Member": members})
        return name

    def history_for(self, rng: random.Random, container: str) -> list[str]:
        local = self.users.get(container, [])
        everyone = [u for users in self.users.values() for u in users]
        pool = local + [u for u in everyone if u not in local]
        count = rng.randint(1, 4)
        picks = local[:1] if local else []
        while len(picks) < min(count, len(pool)):
            choice = rng.choice(pool)
            if choice not in picks:
                picks.append(choice)
        return picks

    def workstation(self, cn: str, container: str, site: Site, host: int,
                    history: list[str] | None = None, **overrides) -> dict:
        name = f"CN={cn}.{container}"
        rng = self.rng(name)
        tail = rng.randrange(1 << 24)
        while tail in self._macs:
            tail = (tail + 1) & 0xFFFFFF
        self._macs.add(tail)
        if history is None:
            history = self.history_for(rng, container)
        attrs = workstation_attributes(rng, cn, site, host, tail, history)
        for key, value in overrides.items():
            if value is None:
                attrs.pop(key, None)
            else:
                attrs[key] = value
        return self.add(name, "Workstation", attrs)

    def workstations(self, container: str, site: Site, names: list[str], first_host: int = 11):
        for offset, cn in enumerate(names):
            self.workstation(cn, container, site, first_host + offset)


def build_acme(seed: int) -> SampleBuilder:
    b = SampleBuilder("ACME_TREE", seed, "+49 69 555")
    acme = b.container("O=Acme", "Organization", "Acme head office")
    b.user("Admin", acme, "", "Admin")
    b.objects[-1]["attributes"]["Full Name"] = ["Directory Administrator"]
    sales = b.container(f"OU=Sales.{acme}", "Organizational Unit", "Sales department")
    head = Site("01020000", (127, 0, 2), "acme.example", "ACME")
    # PC1, NB1 and OU=Sales share this container.
    b.workstation("PC1", acme, head, 11, history=["CN=Admin.O=Acme"])
    b.workstation("NB1", acme, head, 12, history=["CN=Admin.O=Acme"])
    b.add(f"CN=ACME-FS1.{acme}", "NCP Server", {
        "Description": ["File server, head office"],
        "Network Address": [netaddress(0, bytes.fromhex("010200000000000000014006")),
                            netaddress(1, bytes([127, 0, 2, 2]))],
        "Version": ["Kestrel Server 5.00"],
    })
    b.add(f"CN=ACME-FS1_SYS.{acme}", "Volume", {
        "Host Server": [text(f"CN=ACME-FS1.{acme}", 1)],
        "Host Resource Name": ["SYS"],
    })
    it = b.container(f"OU=IT.{acme}", "Organizational Unit", "IT services")
    hq = b.container(f"OU=HQ.{acme}", "Organizational Unit", "Headquarters")
    staff = b.container(f"OU=Staff.{acme}", "Organizational Unit", "Staff accounts")
    munich = b.container(f"L=Munich.{acme}", "Locality", "Munich branch")

    # OU=IT
    b.user("Demo", it, "Demo", "User")
    b.user("mkrause", it, "Marta", "Krause")
    b.group("IT Staff", it, ["CN=Admin.O=Acme", f"CN=Demo.{it}", f"CN=mkrause.{it}"],
            "Help desk and administrators")
    b.add(f"CN=Administrator.{it}", "Alias", {"Aliased Object Name": [text("CN=Admin.O=Acme", 1)]})
    site = Site("01030000", (127, 0, 3), "it.acme.example", "ACME")
    b.workstations(it, site, ["IT01", "IT02"])
    staff_names = [f"CN={cn}.{staff}" for cn, _, _ in STAFF]
    # IT03 is the help desk's shared machine: everybody has logged in there once.
    long_history = [f"CN=Demo.{it}", f"CN=mkrause.{it}", "CN=Admin.O=Acme"] + staff_names + [
        f"CN=jdoe.{sales}", f"CN=asmith.{sales}", f"CN=rbauer.{hq}"]
    b.workstation("IT03", it, site, 13, history=long_history)
    b.workstations(it, site, ["IT04", "IT05", "IT06"], first_host=14)
    # Bought and named, but the registration agent never ran on it.
    b.add(f"CN=IT-SPARE.{it}", "Workstation", {"Description": ["Spare machine, not yet deployed"]})
    b.add(f"CN=LJ-IT.{it}", "Printer", {"Description": ["Laser printer, IT room"]})

    # OU=Sales
    b.user("jdoe", sales, "Jonas", "Doerr")
    b.user("asmith", sales, "Anna", "Schmid")
    b.group("Sales Team", sales, [f"CN=jdoe.{sales}", f"CN=asmith.{sales}"], "Field and desk sales")
    b.add(f"CN=LJ-Sales.{sales}", "Printer", {"Description": ["Laser printer, sales floor"]})
    east = b.container(f"OU=East.{sales}", "Organizational Unit", "Sales east")
    west = b.container(f"OU=West.{sales}", "Organizational Unit", "Sales west")
    site = Site("01010000", (127, 0, 1), "sales.acme.example", "ACME")
    for n in range(10, 18):
        b.workstation(f"WS{n}", sales, site, n)
    # WS42 registered its address as a network-address value, not as text.
    b.workstation("WS42", sales, site, 42,
                  **{"WM:Network Address": [netaddress(1, bytes([127, 0, 1, 42]))]})

    site = Site("01040000", (127, 0, 4), "east.acme.example", "ACME")
    for n in range(20, 25):
        overrides = {}
        if n == 21:
            # An inventory value of exactly 200 bytes: its length byte reads 200.
            disk = ("C: 8400 MB IDE NTFS, 2210 MB free; D: 8400 MB IDE NTFS, 6120 MB free; "
                    "E: 650 MB ATAPI CD-ROM; F: 100 MB ZIP removable; A: 1440 KB floppy; "
                    "SMART status OK on all fixed disks")
            # The scanner's fixed 200-byte buffer: the text, then zero bytes.
            data = disk.encode("ascii").ljust(200, b"\0")
            assert len(data) == 200
            overrides["ZEN:INV Disk Info"] = [octets(data, "hex")]
        b.workstation(f"WS{n}", east, site, n, **overrides)

    # OU=West: children deliberately out of order, so sorting shows.
    site = Site("01050000", (127, 0, 5), "west.acme.example", "ACME")
    b.workstation("WS38", west, site, 38)
    b.workstation("pc7", west, site, 57)
    b.workstation("WS31", west, site, 31)
    lab = b.container(f"OU=Lab.{west}", "Organizational Unit", "Demo lab")
    b.workstation("Pc5", west, site, 55)
    b.add(f"CN=LJ-West.{west}", "Printer", {"Description": ["Colour printer"]})
    b.workstation("WS35", west, site, 35)
    b.workstation("WS33", west, site, 33)
    b.workstations(lab, Site("01060000", (127, 0, 6), "lab.acme.example", "ACME"),
                   ["LAB01", "LAB02", "LAB03", "LAB04"])

    # OU=HQ: a workstation whose name contains "Sales" outside OU=Sales.
    b.user("rbauer", hq, "Ralf", "Bauer")
    site = Site("01070000", (127, 0, 7), "hq.acme.example", "ACME")
    b.workstation("Sales1", hq, site, 10)
    for n in range(1, 5):
        overrides = {}
        if n == 2:
            overrides["ZEN:INV Last Scan Date"] = ["X?2?Disk error?06/30/99 10:00"]
        b.workstation(f"HQ0{n}", hq, site, 10 + n, **overrides)

    # OU=Staff: users and groups only.
    for cn, given, surname in STAFF:
        b.user(cn, staff, given, surname)
    b.group("All Staff", staff, staff_names, "Everybody on the staff list")
    b.group("Managers", staff, [f"CN=bmeyer.{staff}", f"CN=rhartmann.{staff}", f"CN=rbauer.{hq}"],
            "Department heads")

    site = Site("01080000", (127, 0, 8), "muc.acme.example", "ACME")
    b.workstation("MUC01", munich, site, 11, history=[f"CN=kwolf.{staff}"])
    b.workstation("MUC02", munich, site, 12, history=[f"CN=lneumann.{staff}"],
                  **{"ZEN:INV Last Scan Date": ["Scan?aborted"]})
    b.workstation("MUC03", munich, site, 13, history=[f"CN=kwolf.{staff}", f"CN=obraun.{staff}"])

    # C=DE / S=Hessen / L=Frankfurt: the logistics company.
    de = b.container("C=DE", "Country")
    hessen = b.container(f"S=Hessen.{de}", "Locality", "State of Hessen")
    ffm = b.container(f"L=Frankfurt.{hessen}", "Locality", "Frankfurt am Main")
    logistik = b.container(f"O=Acme Logistik.{ffm}", "Organization", "Acme Logistik GmbH")
    warehouse = b.container(f"OU=Warehouse.{logistik}", "Organizational Unit", "Warehouse")
    b.user("hschmidt", warehouse, "Heike", "Schmidt")
    site = Site("01090000", (127, 0, 9), "ffm.acme.example", "ACME")
    for n in range(1, 7):
        overrides = {}
        if n == 5:
            # Registered over IPX only: no IP address anywhere.
            overrides = {"ZEN:INV IP Address": None, "ZEN:INV Subnet Address": None}
        ws = b.workstation(f"FFM0{n}", warehouse, site, 10 + n, **overrides)
        if n == 5:
            addrs = ws["attributes"]["WM:Network Address"]
            ws["attributes"]["WM:Network Address"] = [a for a in addrs if a.count(":") == 2]
    return b


def build_globex(seed: int) -> SampleBuilder:
    b = SampleBuilder("GLOBEX_TREE", seed, "+1 503 555")
    globex = b.container("O=Globex", "Organization", "Globex head office")
    b.user("Admin", globex, "", "Admin")
    b.objects[-1]["attributes"]["Full Name"] = ["Globex Administrator"]
    eng = b.container(f"OU=Engineering.{globex}", "Organizational Unit", "Engineering")
    fin = b.container(f"OU=Finance.{globex}", "Organizational Unit", "Finance")
    b.add(f"CN=GLX-FS1.{globex}", "NCP Server", {
        "Description": ["File server"],
        "Network Address": [netaddress(9, bytes([0x02, 0x0C, 127, 1, 0, 2]))],
        "Version": ["Kestrel Server 5.00"],
    })
    b.add(f"CN=GLX-FS1_SYS.{globex}", "Volume", {
        "Host Server": [text(f"CN=GLX-FS1.{globex}", 1)],
        "Host Resource Name": ["SYS"],
    })
    b.add(f"CN=Lobby-Printer.{globex}", "Printer", {"Description": ["Lobby printer"]})

    b.user("lchen", eng, "Lin", "Chen")
    b.user("rkumar", eng, "Ravi", "Kumar")
    b.group("Engineers", eng, [f"CN=lchen.{eng}", f"CN=rkumar.{eng}"], "Engineering staff")
    labs = b.container(f"OU=Labs.{eng}", "Organizational Unit", "Test labs")
    site = Site("0A010000", (127, 1, 1), "eng.globex.example", "GLX")
    for n in range(1, 7):
        overrides = {}
        if n == 3:
            overrides["Workstation Class"] = [text("Workstation", 20)]
        if n == 5:
            overrides["ZEN:INV Last Scan Date"] = ["?1?Scanner timeout?05/12/99 09:15"]
        b.workstation(f"ENG0{n}", eng, site, 10 + n, **overrides)
    b.workstations(labs, Site("0A020000", (127, 1, 2), "labs.globex.example", "GLX"),
                   ["LAB01", "LAB02", "LAB03", "LAB04", "LAB05"])

    b.user("mgarcia", fin, "Maria", "Garcia")
    b.group("Finance", fin, [f"CN=mgarcia.{fin}", "CN=Admin.O=Globex"], "Finance staff")
    site = Site("0A030000", (127, 1, 3), "fin.globex.example", "GLX")
    for n in range(1, 5):
        overrides = {}
        if n == 3:
            overrides["ZEN:INV Last Scan Date"] = ["?3?WMI failure"]
        b.workstation(f"FIN0{n}", fin, site, 10 + n, **overrides)

    us = b.container("C=US", "Country")
    oregon = b.container(f"S=Oregon.{us}", "Locality", "State of Oregon")
    portland = b.container(f"L=Portland.{oregon}", "Locality", "Portland")
    west = b.container(f"O=Globex West.{portland}", "Organization", "Globex West Coast")
    field = b.container(f"OU=Field.{west}", "Organizational Unit", "Field service")
    b.user("tnguyen", field, "Tam", "Nguyen")
    b.workstations(field, Site("0A040000", (127, 1, 4), "field.globex.example", "GLX"),
                   ["NB-F01", "NB-F02", "NB-F03", "NB-F04"])
    return b


def sample_trees(seed: int) -> list[tuple[str, list[dict]]]:
    return [(b.tree, b.objects) for b in (build_acme(seed), build_globex(seed))]


# ---------------------------------------------------------------------------
# Synthetic directories
# ---------------------------------------------------------------------------

class Synthetic:
    def __init__(self, args: argparse.Namespace, tree: str, tree_index: int):
        self.args = args
        self.tree = tree
        self.index = tree_index
        self.rng = random.Random(f"{args.seed}:{tree}")
        org = args.org or (tree[:-5] if tree.upper().endswith("_TREE") else tree).capitalize()
        self.org = f"O={org}"
        self.domain = f"{org.lower().replace(' ', '-')}.example"
        self.ws_counter = 0
        self.user_counter = 0
        self.unit_counter = 0
        self._shared_hash: str | None = None

    def password_hash(self, name: str, cn: str) -> str:
        a = self.args
        if a.password_hash:
            return a.password_hash
        if a.password is not None:
            if self._shared_hash is None:  # one hash for everybody: hashed once
                self._shared_hash = sha512_crypt(a.password, derived_salt(a.seed, self.tree))
            return self._shared_hash
        return sha512_crypt(cn.lower(), derived_salt(a.seed, self.tree, name))

    def user(self, cn: str, container: str) -> dict:
        name = f"CN={cn}.{container}"
        obj = {"name": name, "class": "User", "password": self.password_hash(name, cn)}
        if self.args.attributes == "full":
            obj["attributes"] = {"Surname": [cn.capitalize()], "Full Name": [f"Test {cn}"]}
        return obj

    def site(self, unit_no: int) -> Site:
        # Wide containers run past 254 hosts; sites are per container, hosts are counted
        # globally below so addresses stay unique.
        return Site(f"{(self.index << 24 | unit_no) & 0xFFFFFFFF:08X}", (127, 0, 0),
                    self.domain, self.org[2:].upper()[:6])

    def workstation(self, container: str, site: Site, users: list[str]) -> dict:
        self.ws_counter += 1
        n = self.ws_counter
        cn = f"WS{n:06d}"
        rng = self.rng
        host_id = (self.index << 20) + n
        history = rng.sample(users, min(len(users), rng.randint(1, 3))) if users else []
        attrs = workstation_attributes(rng, cn, site, 0, host_id, history,
                                       full=self.args.attributes == "full", serial_no=n)
        rest, low = divmod(host_id, 254)   # hosts .1 to .254, never .0 or .255
        ip = f"127.{(rest >> 8) & 255}.{rest & 255}.{low + 1}"
        attrs["WM:Network Address"][1] = ip
        if "ZEN:INV IP Address" in attrs:
            attrs["ZEN:INV IP Address"] = [ip]
            attrs["ZEN:INV Subnet Address"] = [ip.rsplit(".", 1)[0] + ".0"]
            if rng.random() < 0.02:
                attrs["ZEN:INV Last Scan Date"] = [rng.choice(
                    ["?1?Scanner timeout?05/12/99 09:15", "Scan?aborted", "?3?WMI failure",
                     "X?2?Disk error?06/30/99 10:00"])]
        return {"name": f"CN={cn}.{container}", "class": "Workstation", "attributes": attrs}

    def contents(self, container: str) -> Iterator[dict]:
        """The users, group and workstations directly in `container`."""
        a = self.args
        self.unit_counter += 1
        site = self.site(self.unit_counter)
        users = []
        for _ in range(a.users):
            self.user_counter += 1
            users.append(f"CN=user{self.user_counter:04d}.{container}")
        kinds: list[tuple[str, int]] = [("user", i) for i in range(a.users)]
        if a.users:
            kinds.append(("group", 0))
        kinds += [("ws", i) for i in range(a.workstations)]
        if a.shuffle:
            self.rng.shuffle(kinds)
        for kind, i in kinds:
            if kind == "user":
                yield self.user(users[i].split(".", 1)[0][3:], container)
            elif kind == "group":
                yield {"name": f"CN=Group{self.unit_counter:04d}.{container}", "class": "Group",
                       "attributes": {"Member": users}}
            else:
                yield self.workstation(container, site, users)

    def unit_names(self, parent: str, level: int) -> list[str]:
        return [f"OU=Unit{level}_{k + 1:02d}.{parent}" for k in range(self.args.containers)]

    def objects(self) -> Iterator[dict]:
        a = self.args
        yield {"name": self.org, "class": "Organization"}
        admin = f"CN=Admin.{self.org}"
        admin_pw = a.admin_password or a.password or "admin"
        yield {"name": admin, "class": "User",
               "password": a.password_hash or sha512_crypt(
                   admin_pw, derived_salt(a.seed, self.tree, admin))}
        if a.containers == 0 or a.depth == 0:
            yield from self.contents(self.org)
            return
        # Depth-first: each unit object, then what it holds; parents always come first.
        stack = [(name, 1) for name in reversed(self.unit_names(self.org, 1))]
        while stack:
            name, level = stack.pop()
            yield {"name": name, "class": "Organizational Unit"}
            yield from self.contents(name)
            if level < a.depth:
                stack.extend((child, level + 1) for child in reversed(self.unit_names(name, level + 1)))


# ---------------------------------------------------------------------------

def parse_args(argv: list[str]) -> argparse.Namespace:
    p = argparse.ArgumentParser(
        description="Write a directory file (JSON) for the Kestrel directory client.",
        epilog="Examples:\n"
               "  generate.py --sample -o sample.json\n"
               "  generate.py --containers 0 --workstations 100000 --password x -o big.json\n"
               "  generate.py --tree LAB_TREE --containers 3 --depth 2 --workstations 20 --shuffle\n\n"
               "Unless --password or --password-hash is given, each generated user's password is\n"
               "its common name in lower case, and CN=Admin's is --admin-password.",
        formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--sample", action="store_true",
                   help="write the sample directory (ACME_TREE, GLOBEX_TREE); the layout options are ignored")
    p.add_argument("-o", "--output", metavar="PATH", help="output file (default: standard output)")
    p.add_argument("--seed", type=int, default=1, help="random seed; same seed, same output (default 1)")
    p.add_argument("--tree", action="append", metavar="NAME",
                   help="tree name; repeat for several trees of the same shape (default BENCH_TREE)")
    p.add_argument("--org", metavar="NAME",
                   help="Organization name (default: the tree name without _TREE, capitalised)")
    p.add_argument("--containers", type=int, default=4, metavar="N",
                   help="Organizational Units per level; 0 puts everything in the Organization (default 4)")
    p.add_argument("--depth", type=int, default=1, metavar="D",
                   help="levels of nested Organizational Units (default 1)")
    p.add_argument("--workstations", type=int, default=10, metavar="N",
                   help="workstations per container (default 10)")
    p.add_argument("--users", type=int, default=2, metavar="N",
                   help="users per container, plus one group holding them (default 2)")
    p.add_argument("--attributes", choices=["minimal", "full"], default="full",
                   help="workstation attribute set: registration only, or registration and inventory (default full)")
    p.add_argument("--shuffle", action="store_true",
                   help="list each container's children in random (seeded) order")
    p.add_argument("--password", metavar="PW",
                   help="one password for every generated user (hashed once, fast)")
    p.add_argument("--password-hash", metavar="HASH",
                   help="a precomputed $6$ hash used as-is for every user, Admin included (no hashing)")
    p.add_argument("--admin-password", metavar="PW",
                   help="password of CN=Admin in each Organization (default: --password, else admin)")
    a = p.parse_args(argv)
    for opt in ("containers", "depth", "workstations", "users"):
        if getattr(a, opt) < 0:
            p.error(f"--{opt} must not be negative")
    if a.password_hash and not a.password_hash.startswith("$6$"):
        p.error("--password-hash must be a SHA-512 crypt string ($6$...)")
    if a.containers > 1 and a.depth > 0 and a.containers ** a.depth > 10**7:
        p.error("--containers/--depth give more than ten million units")
    return a


def main(argv: list[str] | None = None) -> int:
    a = parse_args(sys.argv[1:] if argv is None else argv)
    # Write beside the target and rename at the end: an interrupted run leaves the old
    # file, never half a directory.
    tmp = f"{a.output}.tmp{os.getpid()}" if a.output else None
    out = open(tmp, "w", encoding="utf-8", newline="\n", buffering=1 << 20) if tmp else sys.stdout
    try:
        with DirectoryWriter(out) as w:
            if a.sample:
                for tree, objects in sample_trees(a.seed):
                    w.tree(tree, objects)
            else:
                for i, tree in enumerate(a.tree or ["BENCH_TREE"]):
                    w.tree(tree, Synthetic(a, tree, i).objects())
        if tmp:
            out.close()
            os.replace(tmp, a.output)
            tmp = None
        else:
            out.flush()
    except BrokenPipeError:
        # The reader went away (| head): not an error worth a trace.
        sys.stdout = open(os.devnull, "w")
        return 1
    finally:
        if tmp:
            out.close()
            os.unlink(tmp)
    return 0


if __name__ == "__main__":
    sys.exit(main())
