#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Loopback pages for the Windows Internet tests.
#   http_fixture.py start PORTFILE TLSDIR  serves in the background; PORTFILE
#                                          gets "<http port> <https port> <pid>"
#   http_fixture.py stop PORTFILE          ends that server
import http.server
import os
import signal
import ssl
import sys
import threading
import time

BIG = 2 * 1024 * 1024


class Pages(http.server.BaseHTTPRequestHandler):
    def reply(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path
        if path in ("/page", "/redirect/0"):
            self.reply(200, b"203.0.113.7\n", [("Content-Type", "text/plain; charset=utf-8")])
        elif path == "/latin1":
            self.reply(200, b"caf\xe9", [("Content-Type", 'text/plain; charset="ISO-8859-1"')])
        elif path.startswith("/redirect/"):
            self.reply(302, headers=[("Location", "/redirect/%d" % (int(path[10:]) - 1))])
        elif path == "/to-ftp":
            self.reply(302, headers=[("Location", "ftp://127.0.0.1/page")])
        elif path == "/big-declared":
            self.reply(200, b"1" * BIG)
        elif path == "/big-streamed":  # no length: the body ends with the connection
            self.send_response(200)
            self.end_headers()
            self.close_connection = True
            try:
                self.wfile.write(b"2" * BIG)
            except OSError:
                pass
        elif path == "/silent":
            time.sleep(30)
        else:
            self.reply(404, b"missing")

    def log_message(self, *args):
        pass


def serve(port_file, tls_dir):
    plain, secure = (http.server.ThreadingHTTPServer(("127.0.0.1", 0), Pages) for _ in range(2))
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(tls_dir, "cert.pem"), os.path.join(tls_dir, "key.pem"))
    secure.socket = context.wrap_socket(secure.socket, server_side=True)
    plain.daemon_threads = secure.daemon_threads = True
    threading.Thread(target=secure.serve_forever, daemon=True).start()
    with open(port_file + ".new", "w") as f:
        f.write("%d %d %d\n" % (plain.server_address[1], secure.server_address[1], os.getpid()))
    os.replace(port_file + ".new", port_file)
    plain.serve_forever()


def main(command, port_file, tls_dir=None):
    if command == "stop":
        try:
            with open(port_file) as f:
                pid = int(f.read().split()[2])
            os.remove(port_file)
            os.kill(pid, signal.SIGTERM)
        except (OSError, ValueError, IndexError):
            pass
        return 0
    if os.path.exists(port_file):
        os.remove(port_file)
    if os.fork() == 0:
        os.setsid()
        null = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(null, fd)
        serve(port_file, tls_dir)
        os._exit(0)
    for _ in range(100):
        if os.path.exists(port_file):
            return 0
        time.sleep(0.05)
    sys.exit("http_fixture: the server did not start")


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
