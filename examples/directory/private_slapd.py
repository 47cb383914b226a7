#!/usr/bin/env python3
"""A private OpenLDAP slapd in a folder of its own, seeded from a directory file.

    private_slapd.py prepare FOLDER [--directory FILE.json] [--ldif EXTRA.ldif ...] [--tls]
                             [--server-id N --peer URL [--copy-of OTHER_FOLDER]]
    private_slapd.py start FOLDER        # prints the server's URL; slapd runs in the background
                                         # and FOLDER/nwclient.ini points the client at it
    private_slapd.py stop FOLDER

`prepare` writes FOLDER/slapd.conf (the mdb back end, suffix dc=kestrel, our schema),
converts the directory file (default: the sample) with to_ldif.py and loads it offline with
slapadd. `start` runs slapd on 127.0.0.1 and a free port; `stop` ends it. Nothing here needs
root or touches a system server. With --tls the server gets a certificate of its own for
127.0.0.1 (FOLDER/tls/cert.pem, which clients trust through LDAPTLS_CACERT), for StartTLS
and for an ldaps:// listener that the caller adds to slapd's -h. With --server-id and --peer
the server is one of two that replicate each other (syncrepl in mirror mode, each the other's
provider and consumer); the second is loaded with --copy-of the first's folder, so that both
hold the same entries with the same identities (entryUUID, entryCSN) and start in step. The
test fixture, the demo and the benchmarks all start their servers through this file, so they
agree on the configuration.
"""
import argparse
import json
import os
import signal
import socket
import subprocess
import sys
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import ldap_schema  # noqa: E402
import to_ldif  # noqa: E402

SLAPD = "/usr/sbin/slapd"
SLAPADD = "/usr/sbin/slapadd"
SLAPCAT = "/usr/sbin/slapcat"
SUFFIX = "dc=kestrel"
ADMIN_PASSWORD = "kestrel-admin"
WAIT_SECONDS = 20

CONF = """# A private server for tests, the demo and benchmarks (written by private_slapd.py).
{includes}
include {schema}
pidfile {folder}/slapd.pid
argsfile {folder}/slapd.args
modulepath /usr/lib/ldap
moduleload back_mdb
sizelimit unlimited
{tls}{mirror_global}
database mdb
suffix "{suffix}"
rootdn "{admin}"
rootpw {password}
directory {folder}/db
# The map is sparse: room for millions of entries costs no disk until used.
maxsize 17179869184
index objectClass eq
index cn eq,sub
# Password hashes are for binds only, never for reading.
access to attrs=userPassword
  by self write
  by anonymous auth
  by * none
access to *
  by * read
{mirror_database}"""

# Each of two servers is the other's provider and consumer; the peer's administrator reads
# everything, password hashes included.
MIRROR_GLOBAL = """moduleload syncprov
serverID {server_id}
"""
MIRROR_DATABASE = """index entryCSN,entryUUID eq
overlay syncprov
syncprov-checkpoint 100 1
syncrepl rid={server_id:03d} provider={peer} bindmethod=simple binddn="{admin}"
  credentials={password} searchbase="{suffix}" type=refreshAndPersist retry="1 +"
  timeout=5 network-timeout=5
mirrormode on
"""


def conf_path(folder):
    return os.path.join(folder, "slapd.conf")


def write_certificate(folder):
    """A self-signed certificate for 127.0.0.1 and its key, and slapd's lines for them."""
    tls = os.path.join(folder, "tls")
    os.makedirs(tls, exist_ok=True)
    cert, key = os.path.join(tls, "cert.pem"), os.path.join(tls, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                    "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "3650", "-subj", "/CN=127.0.0.1", "-addext",
                    "subjectAltName=IP:127.0.0.1"], check=True, capture_output=True,
                   timeout=60)
    return "TLSCertificateFile %s\nTLSCertificateKeyFile %s\n" % (cert, key)


def write_conf(folder, suffix=SUFFIX, schema_text=None, tls=False, server_id=None, peer=None):
    """FOLDER/slapd.conf for a database `suffix` with our schema (or another one's text);
    the administrator is cn=admin,<suffix>; with tls a certificate of its own; with a server
    id and a peer's URL one of two servers replicating each other."""
    folder = os.path.abspath(folder)
    os.makedirs(os.path.join(folder, "db"), exist_ok=True)
    schema = os.path.join(folder, "kestrel.schema")
    text = schema_text if schema_text is not None else ldap_schema.schema_text()
    with open(schema, "w", encoding="utf-8") as f:
        f.write(text)
    includes = "\n".join("include /etc/ldap/schema/%s.schema" % s
                         for s in ldap_schema.STANDARD_SCHEMAS)
    admin = "cn=admin," + suffix
    mirror = server_id is not None
    with open(conf_path(folder), "w", encoding="utf-8") as f:
        f.write(CONF.format(
            includes=includes, schema=schema, folder=folder, suffix=suffix, admin=admin,
            password=ADMIN_PASSWORD, tls=write_certificate(folder) if tls else "",
            mirror_global=MIRROR_GLOBAL.format(server_id=server_id) if mirror else "",
            mirror_database=MIRROR_DATABASE.format(server_id=server_id, peer=peer, admin=admin,
                                                   password=ADMIN_PASSWORD, suffix=suffix)
            if mirror else ""))


def load(folder, ldif_files, server_id=None):
    """Adds the entries offline (slapd must not run); raises CalledProcessError. A replicating
    server's entries get its server id in their change numbers and the database its
    replication state (-w)."""
    mirror = ["-w", "-S", str(server_id)] if server_id is not None else []
    for ldif in ldif_files:
        subprocess.run([SLAPADD, "-q"] + mirror + ["-f", conf_path(os.path.abspath(folder)),
                                                   "-l", ldif],
                       check=True, stdout=subprocess.DEVNULL, timeout=3600)


def prepare(folder, directory=None, extra_ldif=(), tls=False, server_id=None, peer=None,
            copy_of=None):
    """Writes the configuration and loads the directory (or, with copy_of, the entries of
    another prepared folder as they are); raises CalledProcessError."""
    folder = os.path.abspath(folder)
    write_conf(folder, tls=tls, server_id=server_id, peer=peer)
    if copy_of is not None:
        copy_of = os.path.abspath(copy_of)
        copy = os.path.join(folder, "copy.ldif")
        subprocess.run([SLAPCAT, "-f", conf_path(copy_of), "-l", copy], check=True,
                       stdout=subprocess.DEVNULL, timeout=3600)
        with open(os.path.join(copy_of, "trees"), encoding="utf-8") as src, \
                open(os.path.join(folder, "trees"), "w", encoding="utf-8") as dst:
            dst.write(src.read())
        load(folder, [copy], server_id)
        return
    seed = os.path.join(folder, "seed.ldif")
    with open(directory or os.path.join(HERE, "sample.json"), encoding="utf-8") as f:
        tree_list = []
        to_ldif.write_atomically(
            seed, lambda out: tree_list.extend(to_ldif.convert(json.load(f), out, SUFFIX)))
    # For the fixture and scripts: each tree's name and base DN, a tab between them.
    with open(os.path.join(folder, "trees"), "w", encoding="utf-8") as f:
        f.writelines("%s\t%s\n" % tree for tree in tree_list)
    load(folder, [seed] + list(extra_ldif), server_id)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def answers(port):
    with socket.socket() as s:
        s.settimeout(1)
        return s.connect_ex(("127.0.0.1", port)) == 0


def write_client_config(folder, url):
    """FOLDER/nwclient.ini: the server, the first tree by default, every tree in [Trees]."""
    with open(os.path.join(folder, "trees"), encoding="utf-8") as f:
        trees = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    lines = ["; Client configuration for the private server (written by private_slapd.py).",
             "[Client]", "Directory=" + url, "DefaultTree=" + trees[0][0], "NameContext=[Root]",
             "SessionFile=" + os.path.join(folder, "session"), "[Trees]"]
    lines += ["%s=%s%s" % (name, url, urllib.parse.quote(base, safe=",="))
              for name, base in trees]
    with open(os.path.join(folder, "nwclient.ini"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def start(folder):
    """Starts slapd in the background on a free port; returns its URL."""
    folder = os.path.abspath(folder)
    for _ in range(5):  # another process may take the port between the probe and slapd
        port = free_port()
        url = "ldap://127.0.0.1:%d/" % port
        result = subprocess.run([SLAPD, "-f", conf_path(folder), "-h", url],
                                stderr=subprocess.PIPE, timeout=60)
        if result.returncode != 0:
            continue
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            if answers(port):
                if os.path.exists(os.path.join(folder, "trees")):
                    write_client_config(folder, url)
                return url
            time.sleep(0.05)
        stop(folder)
        raise RuntimeError("slapd on %s did not answer within %d s" % (url, WAIT_SECONDS))
    raise RuntimeError("slapd did not start: %s" % result.stderr.decode(errors="replace"))


def stop(folder):
    pidfile = os.path.join(os.path.abspath(folder), "slapd.pid")
    try:
        pid = int(open(pidfile).read())
    except (OSError, ValueError):
        return
    os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return
        time.sleep(0.05)
    os.kill(pid, signal.SIGKILL)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("command", choices=["prepare", "start", "stop"])
    p.add_argument("folder")
    p.add_argument("--directory", help="the directory file to load (default: the sample)")
    p.add_argument("--ldif", action="append", default=[], help="more LDIF to load after it")
    p.add_argument("--tls", action="store_true", help="give the server a certificate")
    p.add_argument("--server-id", type=int, help="replicate with --peer: this server's id")
    p.add_argument("--peer", help="the URL of the server this one replicates with")
    p.add_argument("--copy-of", help="load the entries of this prepared folder instead")
    args = p.parse_args()
    try:
        if args.command == "prepare":
            if (args.server_id is None) != (args.peer is None):
                raise ValueError("--server-id and --peer go together")
            prepare(args.folder, args.directory, args.ldif, args.tls, args.server_id, args.peer,
                    args.copy_of)
        elif args.command == "start":
            print(start(args.folder))
        else:
            stop(args.folder)
    except (OSError, ValueError, KeyError, RuntimeError, subprocess.SubprocessError,
            to_ldif.ConversionError) as e:
        sys.exit("private_slapd.py %s: %s" % (args.command, e))


if __name__ == "__main__":
    main()
