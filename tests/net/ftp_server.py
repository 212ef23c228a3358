# A real FTP server for the FTP client's tests and benchmark: Debian's
# pyftpdlib on 127.0.0.1, a port the system picks (printed on the first line
# of standard output), one user with a password and full rights on a root
# directory.
#
# Usage: ftp_server.py ROOT USER PASSWORD [IDLE_SECONDS [READ_ONLY_DIR]]
#
# IDLE_SECONDS (0: pyftpdlib's default of 300) closes a control connection
# idle that long; READ_ONLY_DIR (relative to ROOT) is a directory the user
# may list and read but not write (uploads there fail with 550).
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password = sys.argv[1:4]
    idle = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    read_only = sys.argv[5] if len(sys.argv) > 5 else ""
    logging.getLogger("pyftpdlib").setLevel(logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    if read_only:
        os.makedirs(os.path.join(root, read_only), exist_ok=True)
        authorizer.override_perm(user, os.path.join(root, read_only), perm="elr", recursive=True)

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.banner = "Qorvi test server ready."
    # Wrong passwords are answered at once; the tests need no brute-force delay.
    Handler.auth_failed_timeout = 0
    if idle > 0:
        Handler.timeout = idle
    server = FTPServer(("127.0.0.1", 0), Handler)
    server.max_cons = 64
    print(server.address[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
