#!/usr/bin/env python3
"""nwdir through its LDAP configuration against a private slapd, side by side with
ldapsearch reading the same entries paged (-E pr=1000/noprompt), in the same run.

    ldap_compare.py BUILD_DIR [COUNT] [--minimal]    (COUNT workstations, default 100,000)

generate.py writes one container O=Bench holding COUNT workstations (with the full
inventory attributes, or with --minimal only a few); private_slapd.py converts it with
to_ldif.py and loads it into slapd (mdb, indexes on objectClass and cn). Then, whole
processes, each run ROUNDS times, ldapsearch bound as the same user as nwdir:

* list the container: `nwdir list O=Bench` against a one-level ldapsearch asking for
  objectClass (what the client needs to report each entry's class), paged;
* subtree search: `nwdir search Workstation "*" [Root]` against a subtree ldapsearch for
  (objectClass=workstation) asking for no attributes, paged;
* a part of the name: `nwdir search Workstation WS01234 [Root]` against a subtree
  ldapsearch for (&(objectClass=workstation)(cn=*WS01234*)) asking for no attributes;
* one attribute: `nwdir read CN=WS050000.O=Bench "WM:NAME Computer"` against
  `ldapsearch -s base` for that attribute;

and prints the median wall time and the median processor time (user + system of the client
and of slapd while it answered) of each side and their ratios. Both sides' answers are
compared once first, so a ratio never compares unequal work.
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


def main():
    if len(sys.argv) not in (2, 3, 4):
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    numbers = [a for a in sys.argv[2:] if a != "--minimal"]
    count = int(numbers[0]) if numbers else 100000
    attributes = "minimal" if "--minimal" in sys.argv[2:] else "full"
    nwdir = os.path.join(build, "bin", "nwdir")
    work = tempfile.mkdtemp(prefix="kestrel-ldapbench-")
    try:
        directory = os.path.join(work, "directory.json")
        subprocess.run([sys.executable, os.path.join(EXAMPLES, "generate.py"), "--containers",
                        "0", "--workstations", str(count), "--users", "0", "--attributes",
                        attributes, "-o", directory],
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
    server = int(open(os.path.join(work, "slapd.pid")).read())
    # The same user as nwdir's login: both sides bind alike.
    ldap = ["ldapsearch", "-x", "-LLL", "-H", url, "-D", "cn=Admin,o=Bench," + base, "-w",
            "admin"]
    queries = [
        ("list O=Bench: %d workstations and the admin" % count, [nwdir, "list", "O=Bench"],
         ldap + PAGED + ["-b", "o=Bench," + base, "-s", "one", "(objectClass=*)",
                         "objectClass"]),
        ("subtree search over %d objects" % (count + 2),
         [nwdir, "search", "Workstation", "*", "[Root]"],
         ldap + PAGED + ["-b", base, "-s", "sub", "(objectClass=workstation)", "1.1"]),
        ("search for the name part WS01234 among %d" % count,
         [nwdir, "search", "Workstation", "WS01234", "[Root]"],
         ldap + ["-b", base, "-s", "sub", "(&(objectClass=workstation)(cn=*WS01234*))",
                 "1.1"]),
        ("read one attribute", [nwdir, "read", "CN=WS050000.O=Bench", "WM:NAME Computer"],
         ldap + ["-b", "cn=WS050000,o=Bench," + base, "-s", "base", "wMNAMEComputer"]),
    ]
    status, _, said = run_text([nwdir, "login", "BENCH_TREE", "CN=Admin.O=Bench"], env,
                               b"admin\n")
    usable = status == 0
    if not usable:
        print("nwdir cannot use the LDAP configuration yet, so its side is not measured:\n  "
              + said.strip().replace("\n", "\n  "))
    print("load average: %.1f" % os.getloadavg()[0])
    print("| what | answers | nwdir wall / processor | ldapsearch wall / processor | "
          "ratio wall / processor |")
    print("|---|---|---|---|---|")
    for name, ours, theirs in queries:
        status, _, said = run_text(theirs)
        if status != 0:
            sys.exit("ldapsearch failed: %s" % said)
        theirs_time = compare.median(theirs, server=server)
        if not usable:
            print("| %s | | not measured | %.0f / %.0f ms | |"
                  % (name, theirs_time[0] * 1000, theirs_time[3] * 1000))
            continue
        answers = compare.same_answers(name, ours, theirs, env, values=name.startswith("read"))
        ours_time = compare.median(ours, env, server=server)
        print("| %s | %d | %.1f / %.1f ms | %.1f / %.1f ms | %.2f / %.2f |" % (
            name, answers, ours_time[0] * 1000, ours_time[3] * 1000, theirs_time[0] * 1000,
            theirs_time[3] * 1000, ours_time[0] / theirs_time[0],
            ours_time[3] / theirs_time[3]))


if __name__ == "__main__":
    main()
