#!/usr/bin/env python3
"""nwdir through its LDAP configuration against a private slapd, side by side with
ldapsearch reading the same entries paged (-E pr=1000/noprompt), in the same run.

    ldap_compare.py BUILD_DIR [COUNT]        (COUNT workstations, default 100,000)

generate.py writes one container O=Bench holding COUNT workstations (with the full
inventory attributes); private_slapd.py converts it with to_ldif.py and loads it into slapd
(mdb, indexes on objectClass and cn). Then, whole processes, five runs each, median wall
time:

* list the container: `nwdir list O=Bench` against a one-level ldapsearch asking for
  objectClass (what the client needs to report each entry's class);
* subtree search: `nwdir search Workstation "*" [Root]` against a subtree ldapsearch for
  (objectClass=workstation) asking for no attributes;

and prints nwdir / ldapsearch for each. Both sides' answers are counted once first, so a
ratio never compares unequal work.
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "..", "examples", "directory")
sys.path.insert(0, EXAMPLES)
import compare  # noqa: E402
import private_slapd  # noqa: E402

PAGED = ["-E", "pr=1000/noprompt"]


def run_text(command, env=None, stdin=None):
    result = subprocess.run(command, env=env, input=stdin, capture_output=True)
    return result.returncode, result.stdout.decode(errors="replace"), \
        result.stderr.decode(errors="replace")


def ldap_entries(output):
    return sum(1 for line in output.splitlines() if line.startswith("dn:"))


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) == 3 else 100000
    nwdir = os.path.join(build, "bin", "nwdir")
    work = tempfile.mkdtemp(prefix="kestrel-ldapbench-")
    try:
        directory = os.path.join(work, "directory.json")
        subprocess.run([sys.executable, os.path.join(EXAMPLES, "generate.py"), "--containers",
                        "0", "--workstations", str(count), "--users", "0", "-o", directory],
                       check=True)
        private_slapd.prepare(work, directory)
        url = private_slapd.start(work)
        try:
            measure(nwdir, work, url, count)
        finally:
            private_slapd.stop(work)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def measure(nwdir, work, url, count):
    env = dict(os.environ, NWCLIENT_CONFIG=os.path.join(work, "nwclient.ini"), HOME=work,
               XDG_CACHE_HOME=os.path.join(work, "cache"),
               XDG_STATE_HOME=os.path.join(work, "state"),
               XDG_CONFIG_HOME=os.path.join(work, "config"))
    base = "dc=BENCH_TREE," + private_slapd.SUFFIX
    ldap = ["ldapsearch", "-x", "-LLL", "-H", url] + PAGED
    queries = [
        ("list O=Bench: %d workstations and the admin" % count, [nwdir, "list", "O=Bench"],
         ldap + ["-b", "o=Bench," + base, "-s", "one", "(objectClass=*)", "objectClass"]),
        ("subtree search over %d objects" % (count + 2),
         [nwdir, "search", "Workstation", "*", "[Root]"],
         ldap + ["-b", base, "-s", "sub", "(objectClass=workstation)", "1.1"]),
    ]
    status, _, said = run_text([nwdir, "login", "BENCH_TREE", "CN=Admin.O=Bench"], env,
                               b"admin\n")
    usable = status == 0
    if not usable:
        print("nwdir cannot use the LDAP configuration yet, so its side is not measured:\n  "
              + said.strip().replace("\n", "\n  "))
    print("| what | nwdir | ldapsearch (paged) | ratio |")
    print("|---|---|---|---|")
    for name, ours, theirs in queries:
        status, out, said = run_text(theirs)
        if status != 0:
            sys.exit("ldapsearch failed: %s" % said)
        expected = ldap_entries(out)
        theirs_time = compare.median(theirs)[0]
        if not usable:
            print("| %s | not measured | %.0f ms | |" % (name, theirs_time * 1000))
            continue
        status, out, said = run_text(ours, env)
        found = len(out.splitlines())
        if status != 0 or found != expected:
            sys.exit("%s: nwdir gave %d entries (exit %d), ldapsearch %d\n%s"
                     % (name, found, status, expected, said))
        ours_time = compare.median(ours, env)[0]
        print("| %s | %.0f ms | %.0f ms | %.2f |" % (name, ours_time * 1000, theirs_time * 1000,
                                                    ours_time / theirs_time))


if __name__ == "__main__":
    main()
