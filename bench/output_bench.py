#!/usr/bin/env python3
"""Peak memory and time of printing many rows: `ravelmoor compare --all` as
tab-separated lines and as one JSON document, and the JSON plan of a dry run
(`sync -n` onto an empty Target), beside `rsync -ani` printing the same plan
and, when given, other ravelmoor binaries (builds before a change).

Commands alternate round by round; the table gives the median wall time and
the median peak RSS (/usr/bin/time -f %M) of the rounds.

    bench/output_bench.py [--rounds N] [--data DIR] [--before [LABEL=]BINARY]... FILES

Trees are made once under DIR (default /var/tmp/ravelmoor-output-bench) by
bench/make_bench_tree.
"""
import argparse
import os
import statistics
import subprocess

from compare_bench import build_dir, measure  # noqa: E402  (same folder)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("files", type=int)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--data", default="/var/tmp/ravelmoor-output-bench")
    parser.add_argument("--before", action="append", default=[],
                        help="[LABEL=]BINARY: a ravelmoor build to compare with (repeatable)")
    args = parser.parse_args()

    build = build_dir()
    tree = os.path.join(args.data, str(args.files))
    if not os.path.isdir(os.path.join(tree, "tgt")):
        subprocess.run([os.path.join(build, "bench", "make_bench_tree"), tree, str(args.files)],
                       check=True)
    src = os.path.join(tree, "src")
    tgt = os.path.join(tree, "tgt")
    empty = os.path.join(args.data, "empty")
    os.makedirs(empty, exist_ok=True)
    home = os.path.join(args.data, "home")
    env = {"HOME": home, "XDG_DATA_HOME": os.path.join(home, "data"),
           "XDG_STATE_HOME": os.path.join(home, "state"),
           "XDG_CONFIG_HOME": os.path.join(home, "config")}

    programs = [("new", os.path.join(build, "src", "ravelmoor"))]
    for given in args.before:
        label, _, binary = given.rpartition("=")
        programs.append((label or binary, binary))

    commands = [("rsync -ani (the plan)", ["rsync", "-ani", src + "/", empty + "/"])]
    for label, binary in programs:
        commands += [
            (f"{label}: compare -r --all --format tsv",
             [env, binary, "compare", "-r", "--all", "--format", "tsv", src, tgt]),
            (f"{label}: compare -r --all --format json",
             [env, binary, "compare", "-r", "--all", "--format", "json", src, tgt]),
            (f"{label}: sync -rn --format json",
             [env, binary, "sync", "-rn", "--method", "update", "--format", "json", src, empty]),
        ]
    results = {name: [] for name, _ in commands}
    for _ in range(args.rounds):
        for name, command in commands:
            results[name].append(measure(command))

    print(f"{args.files} files, {args.rounds} rounds\n")
    print("| command | median s | median peak RSS MB |")
    print("|---|---|---|")
    for name, runs in results.items():
        seconds = statistics.median(run[0] for run in runs)
        mib = statistics.median(run[1] for run in runs) / 1024
        print(f"| `{name}` | {seconds:.2f} | {mib:.0f} |")


if __name__ == "__main__":
    main()
