#!/usr/bin/env python3
"""Times listing a tree over SFTP and through the listing agent on loopback.

Starts its own sshd on 127.0.0.1 (a fresh host key and user key in a temp
folder, as the tests' SshTestServer does) and times, alternating round by
round with a warm cache:

  listing   local (the engine's scan), plain SFTP, the agent, `rsync -an` over SSH
  content   the agent (both sides summed, the far one by the agent),
            local, `rsync -anc` over SSH

    bench/sftp_bench.py [--rounds N] [--data DIR] [--files N] [--mean-size B]

The tree is bench/make_bench_tree's (Source and Target), made once under DIR
(default /var/tmp/ravelmoor-bench). Uses build/release if it exists, else
build/dev; needs bench/sftp_bench built.
"""
import argparse
import getpass
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_bench import build_dir, make_tree, measure  # noqa: E402


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_sshd(folder):
    for name in ("host_key", "user_key"):
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f",
                        os.path.join(folder, name)], check=True)
    with open(os.path.join(folder, "user_key.pub")) as key, \
            open(os.path.join(folder, "authorized_keys"), "w") as keys:
        keys.write(key.read())
    port = free_port()
    config = os.path.join(folder, "sshd_config")
    with open(config, "w") as out:
        out.write(f"Port {port}\nListenAddress 127.0.0.1\n"
                  f"HostKey {folder}/host_key\nAuthorizedKeysFile {folder}/authorized_keys\n"
                  f"PidFile {folder}/sshd.pid\nStrictModes no\nUsePAM no\n"
                  "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                  f"PermitRootLogin prohibit-password\nAllowUsers {getpass.getuser()}\n"
                  "Subsystem sftp internal-sftp\n")
    if os.getuid() == 0:
        os.makedirs("/run/sshd", exist_ok=True)
    server = subprocess.Popen(["/usr/sbin/sshd", "-D", "-e", "-f", config],
                              stderr=open(os.path.join(folder, "sshd.log"), "w"))
    for _ in range(300):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return server, port
        except OSError:
            time.sleep(0.02)
    sys.exit("sshd did not start")


def table(title, commands, rounds, base):
    times = {name: [] for name, _ in commands}
    rss = {name: 0 for name, _ in commands}
    for _ in range(rounds):
        for name, command in commands:
            seconds, kib = measure(command)
            times[name].append(seconds)
            rss[name] = max(rss[name], kib)
    medians = {name: statistics.median(values) for name, values in times.items()}
    print(f"\n{title}\n")
    print(f"| command | min s | median s | × {base} | peak RSS MiB (client) |")
    print("|---|---|---|---|---|")
    for name, _ in commands:
        print(f"| {name} | {min(times[name]):.2f} | {medians[name]:.2f} | "
              f"{medians[name] / medians[base]:.2f} | {rss[name] // 1024} |")
    return medians


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--data", default="/var/tmp/ravelmoor-bench")
    parser.add_argument("--files", type=int, default=100000)
    parser.add_argument("--mean-size", type=int, default=512)
    args = parser.parse_args()
    build = build_dir()
    bench = os.path.join(build, "bench", "sftp_bench")
    program = os.path.join(build, "src", "ravelmoor")
    os.makedirs(args.data, exist_ok=True)
    tree = make_tree(os.path.join(build, "bench", "make_bench_tree"), args.data, args.files,
                     args.mean_size)
    src, tgt = os.path.join(tree, "src"), os.path.join(tree, "tgt")
    with tempfile.TemporaryDirectory() as folder:
        server, port = start_sshd(folder)
        try:
            key = os.path.join(folder, "user_key")
            # known_hosts under a HOME of its own, for libssh and for ssh alike.
            env = {"HOME": folder}
            remote = ["--port", str(port), "--key", key]
            ssh = (f"ssh -p {port} -i {key} -o UserKnownHostsFile={folder}/known_hosts "
                   "-o StrictHostKeyChecking=no -o BatchMode=yes")
            rsync = ["rsync", "-e", ssh, "--delete", "-i", src + "/", f"127.0.0.1:{tgt}/"]
            # Accepts the host key once, outside the timings.
            subprocess.run([bench, "sftp", tgt] + remote, env=dict(os.environ, **env),
                           stdout=subprocess.DEVNULL, check=True)
            subprocess.run(["ssh"] + ssh.split()[1:] + ["127.0.0.1", "true"], check=True)
            table(f"Listing {args.files} files ({tgt})", [
                ("local listing (engine scan)", [env, bench, "local", tgt]),
                ("plain SFTP listing", [env, bench, "sftp", tgt] + remote),
                ("agent listing", [env, bench, "agent", tgt] + remote + ["--agent", program]),
                ("`rsync -an` over SSH", rsync[:1] + ["-an"] + rsync[1:]),
            ], args.rounds, "local listing (engine scan)")
            table(f"Content comparison, {args.files} files a side", [
                ("local, both sides summed", [env, bench, "local", tgt, "--crc", "--local", src]),
                ("agent, both sides summed",
                 [env, bench, "agent", tgt, "--crc", "--local", src] + remote +
                 ["--agent", program]),
                ("`rsync -anc` over SSH", rsync[:1] + ["-anc"] + rsync[1:]),
            ], args.rounds, "local, both sides summed")
        finally:
            server.terminate()
            server.wait()


if __name__ == "__main__":
    main()
