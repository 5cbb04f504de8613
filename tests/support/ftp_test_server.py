"""An FTP server on 127.0.0.1 for the FTP tests, with the faults they need.

Binds a free port, prints "PORT <n>" on stdout once it listens, and serves
until it is terminated. Flags:
  --dir DIR             the folder served (required)
  --user U --password P log on as U with P (default: anonymous)
  --list-only           no MLST/MLSD: clients must read LIST, in local time
  --hang-greeting       accept connections but never greet
  --hang-listing        answer MLSD/LIST with 150 and then send nothing
  --hang-download       answer RETR with 150 and then send nothing
  --break-listing       send part of a listing, then drop the connection
  --listing FILE        answer every MLSD with the bytes of FILE
  --log FILE            append every command received to FILE, one a line
  --truncate-download   send half of a file, then report the transfer complete
  --read-only           the logon may list and read, but not write
  --mdtm ANSWER         MDTM answers "garbage" (not a time), "future" (a time
                        decades ahead) or "refused" (an unknown command)
  --truncate-upload     keep half of each file received, and report it complete
"""

import argparse
import warnings
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

WRITE_PERMISSIONS = "elradfmwMT"


class BreakingProducer:
    """Hands out the first half of a listing, then drops the control connection
    so that the transfer is never reported complete."""

    def __init__(self, handler, data):
        self.handler = handler
        self.data = data[: len(data) // 2]

    def more(self):
        if self.data:
            data, self.data = self.data, b""
            return data
        self.handler.close()
        return b""


def make_handler(options):
    left_out = ("MLSD", "MLST") if options.list_only else ()
    if options.mdtm == "refused":
        left_out += ("MDTM",)

    class Handler(FTPHandler):
        banner = "ravelmoor test server ready."
        auth_failed_timeout = 0  # answer a wrong password at once
        use_gmt_times = not options.list_only

        if left_out:
            proto_cmds = {
                name: value
                for name, value in FTPHandler.proto_cmds.items()
                if name not in left_out
            }

        def ftp_MDTM(self, path):
            if options.mdtm == "garbage":
                return self.respond("213 soon")
            if options.mdtm == "future":
                return self.respond("213 20991231235959")
            return super().ftp_MDTM(path)

        def handle(self):
            if options.hang_greeting:
                return  # the client waits for a greeting that never comes
            super().handle()

        def _hang(self):
            self.respond("150 File status okay. About to open data connection.")

        def pre_process_command(self, line, cmd, arg):
            if options.log:
                with open(options.log, "a", encoding="utf-8", errors="surrogateescape") as log:
                    log.write(line + "\n")
            return super().pre_process_command(line, cmd, arg)

        def ftp_MLSD(self, path):
            if options.listing:
                with open(options.listing, "rb") as listing:
                    data = listing.read()
                return self.push_dtp_data(data, cmd="MLSD")
            return self._list(lambda: super(Handler, self).ftp_MLSD(path))

        def ftp_LIST(self, path):
            return self._list(lambda: super(Handler, self).ftp_LIST(path))

        def _list(self, list_folder):
            if options.hang_listing:
                return self._hang()
            if options.break_listing:
                return self._break(list_folder)
            return list_folder()

        def ftp_RETR(self, file):
            if options.hang_download:
                return self._hang()
            if options.truncate_download:
                with open(file, "rb") as f:
                    data = f.read()
                # The data connection closes early and "226" follows as usual.
                return self.push_dtp_data(data[: len(data) // 2], cmd="RETR")
            return super().ftp_RETR(file)

        def on_file_received(self, file):
            if options.truncate_upload:
                # As a full disk or a broken store would: the transfer went
                # well, the file kept is short.
                with open(file, "r+b") as f:
                    f.truncate(f.seek(0, 2) // 2)
            super().on_file_received(file)

        def _break(self, list_folder):
            # Let the real listing run into a buffer, then send half of it.
            pushed = []
            original = self.push_dtp_data

            def capture(data, isproducer=False, file=None, cmd=None):
                if isproducer:
                    data = b"".join(iter(data.more, b""))
                pushed.append((data, cmd))

            self.push_dtp_data = capture
            try:
                list_folder()
            finally:
                self.push_dtp_data = original
            for data, cmd in pushed:
                original(BreakingProducer(self, data), isproducer=True, cmd=cmd)

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--user")
    parser.add_argument("--password", default="")
    for switch in ("--list-only", "--read-only", "--hang-greeting", "--hang-listing",
                   "--hang-download", "--break-listing", "--truncate-download",
                   "--truncate-upload"):
        parser.add_argument(switch, action="store_true")
    parser.add_argument("--listing")
    parser.add_argument("--mdtm", choices=("garbage", "future", "refused"))
    parser.add_argument("--log")
    options = parser.parse_args()

    logging.basicConfig(level=logging.ERROR)
    warnings.simplefilter("ignore")  # write access for anonymous logons is what the tests want
    authorizer = DummyAuthorizer()
    permissions = "elr" if options.read_only else WRITE_PERMISSIONS
    if options.user:
        authorizer.add_user(options.user, options.password, options.dir, perm=permissions)
    else:
        authorizer.add_anonymous(options.dir, perm=permissions)
    handler = make_handler(options)
    handler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.address[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    sys.exit(main())
