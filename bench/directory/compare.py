#!/usr/bin/env python3
"""Whole-process time and peak memory of nwdir on the compiled directory, side by side with
slapd (mdb back end) and ldapsearch on the same data, on loopback, in a temporary folder.

    compare.py BUILD_DIR COUNT [COUNT...]

For each count: generates the directory (make_directory.py), times the first nwdir command
after the file changed (the compile) against slapadd of the same entries, then runs each
query five times and reports the median wall time and the peak resident memory of the
client process, and for the nwdir and ldapsearch processes the private dirty memory at exit
(private_memory.c, preloaded: peak RSS also counts the shared pages of the mapped store);
for slapd also the server's resident memory after the queries.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "examples", "directory"))
import private_slapd  # noqa: E402
ROUNDS = 5


HOOK = None  # the built private_memory.so


def timed(command, env=None, stdin=None):
    """(seconds, peak RSS in MB, private MB at exit) of one run; the output is discarded."""
    with tempfile.NamedTemporaryFile() as report, tempfile.NamedTemporaryFile() as memory:
        env = dict(env or os.environ, KESTREL_MEMORY_REPORT=memory.name)
        if HOOK:
            env["LD_PRELOAD"] = HOOK
        start = time.perf_counter()
        result = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + command,
                                env=env, input=stdin, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
        if result.returncode != 0:
            sys.exit("failed (%d): %s\n%s" % (result.returncode, " ".join(command),
                                              result.stderr.decode()))
        lines = open(memory.name).read().split("\n")
        # The first line is the command's own; /usr/bin/time, preloaded too, ends later.
        private = int(lines[0].split()[1]) / 1024 if lines[0] else 0
        return elapsed, int(open(report.name).read().split()[-1]) / 1024, private


def median(command, env=None):
    runs = [timed(command, env) for _ in range(ROUNDS)]
    return (statistics.median(r[0] for r in runs), max(r[1] for r in runs),
            max(r[2] for r in runs))


def start_slapd(folder):
    """Loads the benchmark's LDIF into a private slapd and starts it: (url, pid, load time)."""
    with open(os.path.join(folder, "kestrel.schema"), encoding="utf-8") as f:
        private_slapd.write_conf(folder, suffix="o=Bench", schema_text=f.read())
    start = time.perf_counter()
    private_slapd.load(folder, [os.path.join(folder, "directory.ldif")])
    load = time.perf_counter() - start
    url = private_slapd.start(folder)
    return url, int(open(os.path.join(folder, "slapd.pid")).read()), load


def rss_mb(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024
    return 0


def main():
    build, counts = os.path.abspath(sys.argv[1]), [int(c) for c in sys.argv[2:]]
    nwdir = os.path.join(build, "bin", "nwdir")
    work = tempfile.mkdtemp(prefix="kestrel-dirbench-")
    global HOOK
    HOOK = os.path.join(work, "private_memory.so")
    subprocess.run(["cc", "-shared", "-fPIC", "-O2", "-o", HOOK,
                    os.path.join(HERE, "private_memory.c")], check=True)
    rows = []
    try:
        for count in counts:
            folder = os.path.join(work, str(count))
            subprocess.run([sys.executable, "-W", "ignore", os.path.join(HERE, "make_directory.py"),
                            str(count), folder], check=True)
            with open(os.path.join(folder, "nwclient.ini"), "w") as f:
                f.write("[Client]\nDirectory=directory.json\nDefaultTree=BENCH_TREE\n")
            env = dict(os.environ, NWCLIENT_CONFIG=os.path.join(folder, "nwclient.ini"),
                       HOME=folder, XDG_CACHE_HOME=os.path.join(folder, "cache"),
                       XDG_STATE_HOME=os.path.join(folder, "state"),
                       XDG_CONFIG_HOME=os.path.join(folder, "config"))
            size = os.path.getsize(os.path.join(folder, "directory.json")) / 1e6
            compile_time, compile_rss, compile_private = timed([nwdir, "trees"], env)
            subprocess.run([nwdir, "login", "BENCH_TREE", ".CN=Admin.O=Bench"], env=env,
                           input=b"secret\n", check=True, stdout=subprocess.DEVNULL)
            url, pid, load = start_slapd(folder)
            try:
                middle = count // 2
                part = "WS" + "123456"[:len(str(count - 1)) - 1]
                ldap = ["ldapsearch", "-x", "-LLL", "-H", url]
                queries = [
                    ("read one attribute",
                     [nwdir, "read", "CN=WS%d.OU=Pool.O=Bench" % middle, "WM:NAME Computer"],
                     ldap + ["-b", "cn=WS%d,ou=Pool,o=Bench" % middle, "-s", "base",
                             "kzWMNAMEComputer"]),
                    ("list the container",
                     [nwdir, "list", "OU=Pool.O=Bench"],
                     ldap + ["-b", "ou=Pool,o=Bench", "-s", "one", "1.1"]),
                    ("search: 11 of %d named *%s*" % (count, part),
                     [nwdir, "search", "Workstation", part, "O=Bench"],
                     ldap + ["-b", "o=Bench", "-s", "sub",
                             "(&(objectClass=kzWorkstation)(cn=*%s*))" % part, "1.1"]),
                ]
                rows.append((count, "compile / slapadd (%.0f MB file)" % size,
                             compile_time, (compile_rss, compile_private), load, None))
                for name, ours, theirs in queries:
                    t, m, p = median(ours, env)
                    lt, lm, lp = median(theirs)
                    rows.append((count, name, t, (m, p), lt, (lm, lp)))
                server = rss_mb(pid)
                rows.append((count, "slapd resident after the queries", None, None, None,
                             (server, None)))
            finally:
                private_slapd.stop(folder)
            store = sum(os.path.getsize(os.path.join(folder, "cache", "kestrel", f))
                        for f in os.listdir(os.path.join(folder, "cache", "kestrel"))
                        if f.endswith(".mdb"))
            rows.append((count, "store size %.0f MB" % (store / 1e6), None, None, None, None))
            shutil.rmtree(folder)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("| N | what | nwdir | nwdir peak RSS / private | slapd + ldapsearch | "
          "ldapsearch peak RSS / private |")
    print("|---|---|---|---|---|---|")

    def fmt(v, unit):
        if v is None:
            return ""
        if unit == "s":
            return "%.1f ms" % (v * 1000)
        return " / ".join("%.1f MB" % x for x in v if x is not None)
    for count, name, t, m, lt, lm in rows:
        print("| %s | %s | %s | %s | %s | %s |" % ("{:,}".format(count), name, fmt(t, "s"),
                                                  fmt(m, "MB"), fmt(lt, "s"), fmt(lm, "MB")))


if __name__ == "__main__":
    main()
