#!/usr/bin/env python3
"""What the change journal costs whole installations and removals.

    python3 bench/setup/journal_cost.py [build] [files] [rounds]

Side by side: the `setup` of the build tree, and the same program built from the checkout's
committed state (HEAD, through git archive) with the journal never started (beginTransaction
returns at once), in <build>-nojournal and <build>-nojournal/build (target setup). Both
install with `setup /S` and remove with `setup /U /S`:

1. the sample product Beacon Monitor (build/examples/products/beacon/disk);
2. a generated product of N files (default 5000, 30-50 KB each, MSZIP cabinets of 1000
   files, folders of 100), as product_install.py makes it.

Wall and processor time of each side, medians of the rounds (default 5), the ratio with the
journal to without. Every run starts from a fresh prefix copied before any timing (see
product_install.versus_host_tools); the sides take turns at going first. The environment is
the one of product_install.py.
"""
import os
import subprocess
import sys
import time

from product_install import (RECENTLY_FREED_SECONDS, Prefixes, bench_environment,
                             check_installed, count_files, make_product, medians, run, timed)

TRANSACTION = os.path.join("setup", "program", "RunTransaction.cpp")
BEGIN = "bool beginTransaction(SetupRun& run) {\n"


def without_journal(build):
    """The setup program built from HEAD with the journal left out; its path."""
    repository = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    # The build folder inside the copy, as build/ is inside the checkout: the compiler sees
    # the same relative paths, so ccache has every object but the changed file's.
    source = os.path.abspath(build) + "-nojournal"
    binary = os.path.join(source, "build")
    os.makedirs(binary, exist_ok=True)
    for name in os.listdir(source):
        if name != "build":
            subprocess.run(["rm", "-rf", os.path.join(source, name)])
    archive = subprocess.Popen(["git", "-C", repository, "archive", "HEAD"],
                               stdout=subprocess.PIPE)
    run(["tar", "-x", "-C", source], stdin=archive.stdout)
    if archive.wait() != 0:
        sys.exit("git archive HEAD failed")
    path = os.path.join(source, TRANSACTION)
    with open(path) as file:
        text = file.read()
    if BEGIN not in text:
        sys.exit(f"{TRANSACTION} no longer has '{BEGIN.strip()}': mend this benchmark")
    with open(path, "w") as file:
        file.write(text.replace(BEGIN, BEGIN + "    return true;  // the side without a journal\n"))
    run(["cmake", "-S", source, "-B", binary, "-G", "Ninja"])
    run(["cmake", "--build", binary, "--target", "setup"])
    return os.path.join(binary, "bin", "setup")


def side_by_side(programs, prefixes, disk, rounds, installed_path, files=None):
    """(wall, processor) medians of installations and removals for each program."""
    script = os.path.join(disk, "Setup.inf")
    targets = [{name: prefixes.fresh(f"{name}{i}") for name in programs} for i in range(rounds)]
    run(["sync"])
    time.sleep(RECENTLY_FREED_SECONDS)
    installs = {name: [] for name in programs}
    removals = {name: [] for name in programs}
    for index, prefixes_of_round in enumerate(targets):
        names = list(programs) if index % 2 == 0 else list(reversed(programs))
        for name in names:
            os.environ["WINEPREFIX"] = prefixes_of_round[name]
            installs[name].append(timed([programs[name], "/S", f"/P{disk}/", script]))
            installed = os.path.join(prefixes_of_round[name], installed_path)
            check_installed(installed)
            if files is not None and count_files(installed) != files:
                sys.exit(f"{name} ended with exit code 0 but installed "
                         f"{count_files(installed)} of {files} files")
            run(["wineserver", "-w"])
            run(["sync"])
        for name in names:
            os.environ["WINEPREFIX"] = prefixes_of_round[name]
            removals[name].append(timed([programs[name], "/U", "/S", script]))
            check_installed(os.path.join(prefixes_of_round[name], installed_path), False)
            run(["wineserver", "-w"])
            run(["sync"])
    for prefix in (p for round_ in targets for p in round_.values()):
        subprocess.run(["rm", "-rf", prefix])
    return ({name: medians(figures) for name, figures in installs.items()},
            {name: medians(figures) for name, figures in removals.items()})


def report(what, figures):
    journal, bare = figures["journal"], figures["nojournal"]
    print(f"  {what}: {journal[0]:.2f} s with the journal, {bare[0]:.2f} s without, "
          f"ratio {journal[0] / bare[0]:.2f}; processor {journal[1]:.2f} / {bare[1]:.2f} s, "
          f"ratio {journal[1] / bare[1]:.2f}", flush=True)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    files = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    setup = os.path.abspath(os.path.join(build, "bin", "setup"))
    beacon = os.path.abspath(os.path.join(build, "examples", "products", "beacon", "disk"))
    for need in (setup, os.path.join(beacon, "Setup.inf")):
        if not os.path.exists(need):
            sys.exit(f"{need} is missing: build the tree first (cmake --build {build})")
    programs = {"journal": setup, "nojournal": without_journal(build)}
    where = bench_environment("journal-bench-")
    try:
        prefixes = Prefixes(where)
        print(f"Beacon Monitor, {rounds} rounds")
        installs, removals = side_by_side(
            programs, prefixes, beacon, rounds,
            os.path.join("drive_c", "Program Files (x86)", "Beacon Monitor", "BEACON.EXE"))
        report("setup /S", installs)
        report("setup /U /S", removals)
        disk, total = make_product(os.path.join(where, "generated"), files)
        print(f"{files} files in folders of 100, {total / 1e6:.0f} MB, {rounds} rounds")
        installs, removals = side_by_side(programs, prefixes, disk, rounds,
                                          os.path.join("drive_c", "Bench"), files)
        report("setup /S", installs)
        report("setup /U /S", removals)
    finally:
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        subprocess.run(["rm", "-rf", where])


if __name__ == "__main__":
    main()
