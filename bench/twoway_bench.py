#!/usr/bin/python3
"""Times a two-way synchronisation with nothing changed beside the one-way
compare of the same pair, in interleaved rounds (medians), and measures the
pair's memory on disk per entry.

The pair is made once by bench/make_bench_tree (OUT/src, OUT/tgt), then
brought into agreement by a first two-way sync that keeps Source's version
of every difference (--prefer source). The journals, the memory and the
trash live in a state folder beside the trees, never in $HOME.

    python3 bench/twoway_bench.py --rounds 3 1000000
"""

import argparse
import glob
import os
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_bench import build_dir, measure  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--data", default="/var/tmp/ravelmoor-twoway-bench")
    parser.add_argument("--program", help="the program to time (default: the build's)")
    parser.add_argument("files", type=int)
    args = parser.parse_args()
    build = build_dir()
    program = args.program or os.path.join(build, "src", "ravelmoor")
    tree = os.path.join(args.data, str(args.files))
    src, tgt = os.path.join(tree, "src"), os.path.join(tree, "tgt")
    state = os.path.join(tree, "state")
    env = {"XDG_STATE_HOME": state, "XDG_DATA_HOME": os.path.join(state, "data"),
           "HOME": os.path.join(state, "home")}
    os.makedirs(env["HOME"], exist_ok=True)
    if not os.path.isdir(tgt):
        subprocess.run([os.path.join(build, "bench", "make_bench_tree"), tree, str(args.files)],
                       check=True)
    if not glob.glob(os.path.join(state, "ravelmoor", "pairs", "*.db")):
        first = [env, program, "sync", "--method", "two-way", "-r", "--yes", "-q",
                 "--prefer", "source", "--allow-mass-delete", "--delete-permanently", src, tgt]
        print("first sync: %.1f s, %d KiB, %.1f s of processor" % measure(first), flush=True)
    commands = [
        ("ravelmoor compare -r", [env, program, "compare", "-r", "-q", src, tgt]),
        ("ravelmoor sync --method two-way -r (nothing changed)",
         [env, program, "sync", "--method", "two-way", "-r", "--yes", "-q", src, tgt]),
    ]
    results = {label: [] for label, _ in commands}
    for _ in range(args.rounds):
        for label, command in commands:
            results[label].append(measure(command))
    base = statistics.median(run[0] for run in results[commands[0][0]])
    base_kib = statistics.median(run[1] for run in results[commands[0][0]])
    print("| command | min s | median s | median / compare | peak RSS MB | RSS / compare |")
    print("|---|---|---|---|---|---|")
    for label, runs in results.items():
        seconds = [run[0] for run in runs]
        kib = statistics.median(run[1] for run in runs)
        print("| `%s` | %.2f | %.2f | %.2f | %.0f | %.2f |" % (
            label, min(seconds), statistics.median(seconds), statistics.median(seconds) / base,
            kib / 1024, kib / base_kib))
    db = glob.glob(os.path.join(state, "ravelmoor", "pairs", "*.db"))[0]
    entries = sum(len(d) + len(f) for side in (src,) for _, d, f in os.walk(side))
    size = os.path.getsize(db)
    print("memory: %d bytes for %d entries of Source, %.1f bytes per entry" % (
        size, entries, size / entries))


if __name__ == "__main__":
    main()
