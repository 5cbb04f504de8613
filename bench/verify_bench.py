#!/usr/bin/env python3
"""Times what reading every copy back costs: `ravelmoor sync` into an empty
Target with its copies checked (the default) and with --no-verify, beside
`rsync -a` (and `cp -a` for one big file).

    bench/verify_bench.py [--rounds N] [--data DIR] [--program BINARY]
                          [--keep-targets] [--without-peers]
                          [--before LABEL=BINARY]... tree FILES
    bench/verify_bench.py [...] big MEGABYTES

`tree FILES` copies the Source tree bench/make_bench_tree makes for FILES
files; `big MEGABYTES` copies one file of that size. --before adds the
checked and the unchecked sync of another build (one before a change).
Every command starts from an empty Target with the last run's writes on the
disk (neither is timed); commands alternate round by round, each round
starting one command further on, and the table gives each round, the min
and the median wall time, the median processor time (user and system) and
the load average before each round.
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import time

from compare_bench import build_dir  # noqa: E402  (same folder)


def empty_target(work, kept):
    """An empty `work`: the last run's files are deleted, or with `kept` (a
    folder) moved there, to be deleted after the last round."""
    if os.path.exists(work):
        if kept is None:
            shutil.rmtree(work)
        else:
            os.rename(work, os.path.join(kept, f"run-{len(os.listdir(kept))}"))
    os.makedirs(work)
    subprocess.run(["sync"], check=True)


def timed(command, env):
    """Wall seconds and processor seconds (user and system, the command's
    children included) of one run."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    result = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    seconds = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if result.returncode != 0:
        sys.exit(f"{command[0]} failed ({result.returncode}): {result.stderr.decode()[-500:]}")
    processor = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return seconds, processor


def big_source(data, megabytes):
    folder = os.path.join(data, f"big-{megabytes}")
    path = os.path.join(folder, "big.bin")
    if not os.path.exists(path):
        os.makedirs(folder, exist_ok=True)
        with open(path + ".part", "wb") as out:
            block = os.urandom(1 << 20)
            for _ in range(megabytes):
                out.write(block)
        os.rename(path + ".part", path)
    return folder


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kind", choices=["tree", "big"])
    parser.add_argument("size", type=int, help="files (tree) or megabytes (big)")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--data", default="/var/tmp/ravelmoor-verify-bench")
    parser.add_argument("--program", help="the ravelmoor binary (default: the build's)")
    parser.add_argument("--keep-targets", action="store_true",
                        help="delete the runs' copies only after the last round: on ext4 "
                        "without a journal, files made soon after many were deleted cost "
                        "several times as much, whichever command makes them")
    parser.add_argument("--without-peers", action="store_true",
                        help="leave out rsync -a and cp -a")
    parser.add_argument("--before", action="append", default=[],
                        help="LABEL=BINARY: another build's syncs (repeatable)")
    args = parser.parse_args()

    program = args.program or os.path.join(build_dir(), "src", "ravelmoor")
    if args.kind == "tree":
        tree = os.path.join(args.data, f"tree-{args.size}")
        if not os.path.isdir(os.path.join(tree, "src")):
            subprocess.run([os.path.join(build_dir(), "bench", "make_bench_tree"), tree,
                            str(args.size)], check=True)
        src = os.path.join(tree, "src")
    else:
        src = big_source(args.data, args.size)
    work = os.path.join(args.data, "work")
    home = os.path.join(args.data, "home")
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_STATE_HOME=os.path.join(home, "state"))

    sync = [program, "sync", "-r", "--method", "update", "--yes"]
    commands = []
    for before in args.before:
        label, _, binary = before.partition("=")
        other = [binary, "sync", "-r", "--method", "update", "--yes"]
        commands.append((f"ravelmoor sync, {label}", other + [src, work]))
        commands.append((f"ravelmoor sync --no-verify, {label}", other + ["--no-verify", src, work]))
    commands += [
        ("ravelmoor sync (copies read back)", sync + [src, work]),
        ("ravelmoor sync --no-verify", sync + ["--no-verify", src, work]),
    ]
    if not args.without_peers:
        commands.append(("rsync -a", ["rsync", "-a", src + "/", work + "/"]))
    if args.kind == "big" and not args.without_peers:
        commands.append(("cp -a", ["cp", "-a", os.path.join(src, "big.bin"), work + "/"]))

    kept = None
    if args.keep_targets:
        kept = os.path.join(args.data, "kept")
        shutil.rmtree(kept, ignore_errors=True)
        os.makedirs(kept)
    results = {label: [] for label, _ in commands}
    loads = []
    for round_ in range(args.rounds):
        loads.append(os.getloadavg()[0])
        print(f"load average {loads[-1]:.2f}", file=sys.stderr, flush=True)
        # Each round starts one command further on: a run that follows the
        # deletion of many files pays for it (ext4 looks over the inodes it
        # freed a moment ago before it hands out new ones), and no command
        # should always be the one that follows a given other.
        start = round_ % len(commands)
        for label, command in commands[start:] + commands[:start]:
            empty_target(work, kept)
            shutil.rmtree(home, ignore_errors=True)
            results[label].append(timed(command, env))
            wall, processor = results[label][-1]
            print(f"{label}: {wall:.2f} s, processor {processor:.2f} s", file=sys.stderr,
                  flush=True)
    if kept is not None:
        shutil.rmtree(kept)
    rounds = " | ".join(f"round {i + 1} s" for i in range(args.rounds))
    print(f"| command | {rounds} | min s | median s | processor s (median) |")
    print("|---|" + "---|" * (args.rounds + 3))
    for label, _ in commands:
        walls = [wall for wall, _ in results[label]]
        processors = [processor for _, processor in results[label]]
        each = " | ".join(f"{r:.2f}" for r in walls)
        print(f"| `{label}` | {each} | {min(walls):.2f} | {statistics.median(walls):.2f} | "
              f"{statistics.median(processors):.2f} |")
    checked = results[commands[2 * len(args.before)][0]]
    unchecked = results[commands[2 * len(args.before) + 1][0]]
    for what, index in (("wall", 0), ("processor", 1)):
        median_checked = statistics.median(r[index] for r in checked)
        median_unchecked = statistics.median(r[index] for r in unchecked)
        print(f"\nreading back costs {100 * (median_checked / median_unchecked - 1):+.0f} % "
              f"of the unchecked sync's {what} time (medians)", end="")
    print("\n\nload average (1 min) before each round: " + ", ".join(f"{l:.1f}" for l in loads))

if __name__ == "__main__":
    main()
