#!/usr/bin/env python3
"""Serves a folder over HTTP on the loopback address for the update check's end-to-end tests.

usage: update_server.py FOLDER PORTFILE LIFETIME
The port is chosen by the system and written to PORTFILE. Files under /slow/ come after a
pause and a block at a time, so that a progress dialog can be seen and cancelled. The server
ends by itself after LIFETIME seconds.
"""
import functools
import http.server
import sys
import threading
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def copyfile(self, source, dest):
        if not self.path.startswith("/slow/"):
            return super().copyfile(source, dest)
        time.sleep(1.5)
        try:
            while True:
                block = source.read(16384)
                if not block:
                    break
                dest.write(block)
                dest.flush()
                time.sleep(0.1)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client cancelled


def main():
    folder, portfile, lifetime = sys.argv[1], sys.argv[2], float(sys.argv[3])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=folder))
    server.daemon_threads = True
    with open(portfile + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    import os
    os.replace(portfile + ".tmp", portfile)
    threading.Timer(lifetime, server.shutdown).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
