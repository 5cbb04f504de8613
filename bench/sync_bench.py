#!/usr/bin/env python3
"""Times an update sync of generated trees: `ravelmoor sync --method update`
beside `rsync -a --update`, and, when given, other ravelmoor binaries (builds
before a change).

Every round starts each command from a fresh copy of the Target tree (the copy
is not timed); commands alternate round by round, so that a varying load falls
on all of them alike, and the table gives the min and median wall time and
the load average before each round.

    bench/sync_bench.py [--rounds N] [--data DIR] [--before [LABEL=]BINARY]... FILES

Trees are made once under DIR (default /var/tmp/ravelmoor-sync-bench) by
bench/make_bench_tree.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

from compare_bench import build_dir  # noqa: E402  (same folder)


def fresh_target(tree, work):
    if os.path.exists(work):
        shutil.rmtree(work)
    subprocess.run(["cp", "-a", os.path.join(tree, "tgt"), work], check=True)
    subprocess.run(["sync"], check=True)


def timed(command, env):
    start = time.monotonic()
    result = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    seconds = time.monotonic() - start
    if result.returncode not in (0, 1):
        sys.exit(f"{command[0]} failed ({result.returncode}): {result.stderr.decode()[-500:]}")
    return seconds


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("files", type=int)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--data", default="/var/tmp/ravelmoor-sync-bench")
    parser.add_argument("--before", action="append", default=[],
                        help="[LABEL=]BINARY: a ravelmoor build to compare with (repeatable)")
    args = parser.parse_args()

    build = build_dir()
    tree = os.path.join(args.data, str(args.files))
    if not os.path.isdir(os.path.join(tree, "tgt")):
        subprocess.run([os.path.join(build, "bench", "make_bench_tree"), tree, str(args.files)],
                       check=True)
    src = os.path.join(tree, "src")
    work = os.path.join(args.data, "work")
    home = os.path.join(args.data, "home")
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_CONFIG_HOME=os.path.join(home, "config"))

    def ravelmoor(binary):
        return [binary, "sync", "-r", "--method", "update", "--yes", src, work]

    commands = []
    for before in args.before:
        label, _, binary = before.rpartition("=")
        commands.append((f"ravelmoor {label or 'before the change'}", ravelmoor(binary), env))
    commands.append(("ravelmoor", ravelmoor(os.path.join(build, "src", "ravelmoor")), env))
    commands.append(("rsync -a --update", ["rsync", "-a", "--update", src + "/", work + "/"], env))

    results = {label: [] for label, _, _ in commands}
    loads = []
    for _ in range(args.rounds):
        loads.append(os.getloadavg()[0])
        print(f"load average {loads[-1]:.2f}", file=sys.stderr, flush=True)
        for label, command, command_env in commands:
            fresh_target(tree, work)
            shutil.rmtree(home, ignore_errors=True)
            results[label].append(timed(command, command_env))
            print(f"{label}: {results[label][-1]:.2f}", file=sys.stderr, flush=True)
    rounds = " | ".join(f"round {i + 1} s" for i in range(args.rounds))
    print(f"| command | {rounds} | min s | median s |")
    print("|---|" + "---|" * (args.rounds + 2))
    for label, _, _ in commands:
        runs = results[label]
        each = " | ".join(f"{r:.2f}" for r in runs)
        print(f"| `{label}` | {each} | {min(runs):.2f} | {statistics.median(runs):.2f} |")
    print("\nload average (1 min) before each round: " + ", ".join(f"{l:.1f}" for l in loads))


if __name__ == "__main__":
    main()
