#!/usr/bin/env python3
"""A private OpenLDAP slapd in a folder of its own, seeded from a directory file.

    private_slapd.py prepare FOLDER [--directory FILE.json] [--ldif EXTRA.ldif ...]
    private_slapd.py start FOLDER        # prints the server's URL; slapd runs in the background
                                         # and FOLDER/nwclient.ini points the client at it
    private_slapd.py stop FOLDER

`prepare` writes FOLDER/slapd.conf (the mdb back end, suffix dc=kestrel, our schema),
converts the directory file (default: the sample) with to_ldif.py and loads it offline with
slapadd. `start` runs slapd on 127.0.0.1 and a free port; `stop` ends it. Nothing here needs
root or touches a system server. The test fixture, the demo and the benchmarks all start
their servers through this file, so they agree on the configuration.
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
"""


def conf_path(folder):
    return os.path.join(folder, "slapd.conf")


def write_conf(folder, suffix=SUFFIX, schema_text=None):
    """FOLDER/slapd.conf for a database `suffix` with our schema (or another one's text);
    the administrator is cn=admin,<suffix>."""
    folder = os.path.abspath(folder)
    os.makedirs(os.path.join(folder, "db"), exist_ok=True)
    schema = os.path.join(folder, "kestrel.schema")
    text = schema_text if schema_text is not None else ldap_schema.schema_text()
    with open(schema, "w", encoding="utf-8") as f:
        f.write(text)
    includes = "\n".join("include /etc/ldap/schema/%s.schema" % s
                         for s in ldap_schema.STANDARD_SCHEMAS)
    with open(conf_path(folder), "w", encoding="utf-8") as f:
        f.write(CONF.format(includes=includes, schema=schema, folder=folder, suffix=suffix,
                            admin="cn=admin," + suffix, password=ADMIN_PASSWORD))


def load(folder, ldif_files):
    """Adds the entries offline (slapd must not run); raises CalledProcessError."""
    for ldif in ldif_files:
        subprocess.run([SLAPADD, "-q", "-f", conf_path(os.path.abspath(folder)), "-l", ldif],
                       check=True, stdout=subprocess.DEVNULL, timeout=3600)


def prepare(folder, directory=None, extra_ldif=()):
    """Writes the configuration and loads the directory; raises CalledProcessError."""
    folder = os.path.abspath(folder)
    write_conf(folder)
    seed = os.path.join(folder, "seed.ldif")
    with open(directory or os.path.join(HERE, "sample.json"), encoding="utf-8") as f:
        tree_list = []
        to_ldif.write_atomically(
            seed, lambda out: tree_list.extend(to_ldif.convert(json.load(f), out, SUFFIX)))
    # For the fixture and scripts: each tree's name and base DN, a tab between them.
    with open(os.path.join(folder, "trees"), "w", encoding="utf-8") as f:
        f.writelines("%s\t%s\n" % tree for tree in tree_list)
    load(folder, [seed] + list(extra_ldif))


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
    args = p.parse_args()
    try:
        if args.command == "prepare":
            prepare(args.folder, args.directory, args.ldif)
        elif args.command == "start":
            print(start(args.folder))
        else:
            stop(args.folder)
    except (OSError, ValueError, KeyError, RuntimeError, subprocess.SubprocessError,
            to_ldif.ConversionError) as e:
        sys.exit("private_slapd.py %s: %s" % (args.command, e))


if __name__ == "__main__":
    main()
