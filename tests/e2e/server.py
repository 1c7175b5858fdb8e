#!/usr/bin/env python3
"""A small web server for the end-to-end tests, on 127.0.0.1 only.

Serves the files of a directory with caching switched off, so every load,
reload and history step reaches it, and writes one line per request to a log:

    <seconds since start> <event> <path> <client>

where event is GET (a request has arrived), DONE (the whole answer was sent)
or ABORT (the client hung up before the answer was complete) and client is
"engine" for the web engine (a browser user agent) or "other".

Paths under /slow/ answer with the named file, but send it in small pieces
over SLOW_SECONDS seconds, so a test can stop a load half way.

In HTML files "@SITE@" is replaced by the server's own address, so a page
saved from it still knows where to send what it finds. Requests to /report
are logged with their query (GET) or body (POST), so a test can see what a
page sent back.

Paths under /auth/ answer with the named file only to a request signed in
(HTTP Basic) as AUTH_USER with AUTH_PASSWORD, and with 401 to any other; each
such request also logs an AUTH line whose client field is the credentials
sent ("ann:s3cret", or "-" for none). Paths under /report/ answer 204: pages
tell the test what they saw by asking for them.

With --tls CERT KEY it speaks HTTPS instead, with that certificate.

It writes the port it listens on to the port file once it is ready, and stops
by itself when the process that started it is gone or after a time limit.
"""
import argparse
import base64
import http.server
import os
import sys
import threading
import time
import urllib.parse

SLOW_SECONDS = 12.0
SLOW_PIECES = 60
AUTH_USER = "ann"
AUTH_PASSWORD = "s3cret"
AUTH_REALM = "Staff room"

TYPES = {".html": "text/html; charset=utf-8", ".htm": "text/html; charset=utf-8", ".txt": "text/plain; charset=utf-8"}


class Log:
    def __init__(self, path):
        self.start = time.monotonic()
        self.lock = threading.Lock()
        self.file = open(path, "a", buffering=1, encoding="utf-8")

    def write(self, event, path, client):
        with self.lock:
            self.file.write("%.3f %s %s %s\n" % (time.monotonic() - self.start, event, path, client))
            self.file.flush()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "E2EServer"

    def log_message(self, *args):  # the request log above is the only log
        pass

    def client_kind(self):
        agent = self.headers.get("User-Agent", "")
        return "engine" if ("Chrome" in agent or "Mozilla" in agent) else "other"

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        self.server.log.write("POST", self.path + "?" + urllib.parse.quote(body), self.client_kind())
        self.send_response(204)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def signed_in(self, path):
        sent = self.headers.get("Authorization", "")
        given = "-"
        if sent.startswith("Basic "):
            try:
                given = base64.b64decode(sent[6:]).decode("utf-8", "replace")
            except ValueError:
                given = "?"
        self.server.log.write("AUTH", path, given.replace(" ", "_") or "-")
        if given == AUTH_USER + ":" + AUTH_PASSWORD:
            return True
        body = b"<html><head><title>Denied</title></head><body>You may not come in.</body></html>"
        self.send_response(401)
        self.send_header("WWW-Authenticate", 'Basic realm="%s"' % AUTH_REALM)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        return False

    def do_GET(self):
        path = self.path if self.path.startswith("/report") else self.path.split("?", 1)[0]
        client = self.client_kind()
        log = self.server.log
        log.write("GET", path, client)
        path = path.split("?", 1)[0]
        if path.startswith("/report"):
            self.send_response(204)
            self.send_header("Content-Length", "0")
            self.end_headers()
            log.write("DONE", path, client)
            return
        if path.startswith("/auth/"):
            if not self.signed_in(path):
                return
            path = path[len("/auth"):]
        slow = path.startswith("/slow/")
        name = path[len("/slow/"):] if slow else path.lstrip("/")
        if not name:
            name = "index.html"
        file = os.path.normpath(os.path.join(self.server.root, name))
        if not file.startswith(self.server.root + os.sep) or not os.path.isfile(file):
            body = b"<html><head><title>Not Found</title></head><body>not found</body></html>"
            self.send_response(404)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)
            log.write("DONE", path, client)
            return
        with open(file, "rb") as f:
            body = f.read()
        if file.endswith(".html"):
            body = body.replace(b"@SITE@", ("http://127.0.0.1:%d" % self.server.server_address[1]).encode())
        self.send_response(200)
        self.send_header("Content-Type", TYPES.get(os.path.splitext(file)[1], "application/octet-stream"))
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store, no-cache, must-revalidate")
        self.send_header("Pragma", "no-cache")
        self.end_headers()
        try:
            if slow:
                piece = max(1, len(body) // SLOW_PIECES + 1)
                for at in range(0, len(body), piece):
                    self.wfile.write(body[at:at + piece])
                    self.wfile.flush()
                    time.sleep(SLOW_SECONDS / SLOW_PIECES)
            else:
                self.wfile.write(body)
            self.wfile.flush()
        except (BrokenPipeError, ConnectionResetError):
            log.write("ABORT", path, client)
            self.close_connection = True
            return
        log.write("DONE", path, client)


def watch(parent, limit, server):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        try:
            os.kill(parent, 0)
        except ProcessLookupError:
            break
        time.sleep(0.5)
    server.shutdown()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--parent", type=int, default=os.getppid())
    parser.add_argument("--limit", type=float, default=1800)
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    args = parser.parse_args()

    http.server.ThreadingHTTPServer.request_queue_size = 64
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if args.tls:
        import ssl
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls[0], args.tls[1])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    server.root = os.path.realpath(args.root)
    server.log = Log(args.log)
    threading.Thread(target=watch, args=(args.parent, args.limit, server), daemon=True).start()
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(tmp, args.port_file)
    server.serve_forever(poll_interval=0.2)
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
