#!/usr/bin/env python3
"""Times asking an FTP server for exact times (MDTM) on loopback, and behind
a link that holds every byte back (--delay MS each way).

Starts the tests' pyftpdlib server with LIST only (times to the minute) on a
folder of N files whose local twins have the same size and a time 15 s later
in the same minute, so that each pair asks MDTM for its second. Times, round
by round in turn:

  `ravelmoor compare -v`   lists, then asks MDTM of all N files (many go out
                           together on a connection of their own)
  `curl -Q "MDTM ..."`     the same N commands on one connection, each sent
                           when the one before was answered

    bench/ftp_times_bench.py [--files N] [--rounds R] [--delay MS]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_bench import build_dir, measure  # noqa: E402
from sftp_bench import start_delay  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--delay", type=int, default=0)
    args = parser.parse_args()
    program = os.path.join(build_dir(), "src", "ravelmoor")
    with tempfile.TemporaryDirectory() as folder:
        served, local = os.path.join(folder, "served"), os.path.join(folder, "local")
        os.makedirs(served)
        os.makedirs(local)
        minute = (int(time.time()) - 3 * 86400) // 60 * 60
        for i in range(args.files):
            for where, second in ((served, 5), (local, 20)):
                path = os.path.join(where, f"f{i:05}.txt")
                with open(path, "w") as out:
                    out.write("same size")
                os.utime(path, (minute + second, minute + second))
        server = subprocess.Popen(["/usr/bin/python3",
                                   os.path.join(ROOT, "tests", "ftp", "ftp_test_server.py"),
                                   "--dir", served, "--list-only"], stdout=subprocess.PIPE, text=True)
        try:
            port = int(server.stdout.readline().split()[1])
            if args.delay > 0:
                port = start_delay(port, args.delay / 1000)
            env = {"HOME": folder, "XDG_CONFIG_HOME": os.path.join(folder, "config"),
                   "XDG_STATE_HOME": os.path.join(folder, "state"),
                   "DBUS_SESSION_BUS_ADDRESS": ""}
            subprocess.run([program, "ftp", "add", "--server", f"127.0.0.1:{port}", "--dir", "/"],
                           env=dict(os.environ, **env), check=True, stdout=subprocess.DEVNULL)
            quotes = []
            for i in range(args.files):
                quotes += ["-Q", f"MDTM /f{i:05}.txt"]
            commands = [
                ("`ravelmoor compare -v`", [env, program, "compare", "-v", local,
                                            f"(ftp) 127.0.0.1:{port}/"]),
                ("`curl -Q \"MDTM ...\"` one at a time",
                 ["curl", "-s", "-I"] + quotes + [f"ftp://127.0.0.1:{port}/"]),
            ]
            times = {name: [] for name, _ in commands}
            for _ in range(args.rounds):
                for name, command in commands:
                    times[name].append(measure(command)[0])
            where = f"behind {args.delay} ms each way" if args.delay else "on loopback"
            print(f"\nExact times of {args.files} files, {where}\n")
            print("| command | min s | median s |")
            print("|---|---|---|")
            for name, _ in commands:
                print(f"| {name} | {min(times[name]):.2f} | {statistics.median(times[name]):.2f} |")
        finally:
            server.terminate()
            server.wait()


if __name__ == "__main__":
    main()
