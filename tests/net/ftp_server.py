# A real FTP server for the FTP client's tests and benchmark: Debian's
# pyftpdlib on 127.0.0.1, a port the system picks (printed on the first line
# of standard output), one user with a password and full rights on a root
# directory.
#
# Usage: ftp_server.py ROOT USER PASSWORD
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password = sys.argv[1:4]
    logging.getLogger("pyftpdlib").setLevel(logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.banner = "Qorvi test server ready."
    # Wrong passwords are answered at once; the tests need no brute-force delay.
    Handler.auth_failed_timeout = 0
    server = FTPServer(("127.0.0.1", 0), Handler)
    server.max_cons = 64
    print(server.address[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
