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

With --tls CERT KEY it speaks HTTPS instead, with that certificate, and with
--hsts its pages tell the browser to reach their host over HTTPS only
(Strict-Transport-Security) from then on.

With --proxy it is a web proxy as well, one that never reaches past this
machine: a request for http://HOST/PATH, where HOST was named with --answer,
is answered from the directory as PATH would be, and a tunnel (CONNECT) to a
host and port named with --tunnel HOST:PORT LOCAL is joined to 127.0.0.1:LOCAL
(so one host name can lead to several servers, one per port). Every other
request through it is refused (502). With --proxy-realm REALM the proxy asks
for credentials (407, HTTP Basic, that realm) and lets only AUTH_USER with
AUTH_PASSWORD through; each such request logs a PROXYAUTH line whose client
field is the credentials sent, as AUTH lines do. Tunnels log CONNECT lines.

It writes the port it listens on to the port file once it is ready, and stops
by itself when the process that started it is gone or after a time limit.
"""
import argparse
import base64
import http.server
import os
import socket
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


def credentials(sent):
    """The "user:password" of an HTTP Basic header, "-" for none, "?" for a broken one."""
    if not sent.startswith("Basic "):
        return "-"
    try:
        return base64.b64decode(sent[6:]).decode("utf-8", "replace")
    except ValueError:
        return "?"


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
        given = credentials(self.headers.get("Authorization", ""))
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

    def proxy_signed_in(self, path):
        realm = self.server.proxy_realm
        if not realm:
            return True
        given = credentials(self.headers.get("Proxy-Authorization", ""))
        self.server.log.write("PROXYAUTH", path, given.replace(" ", "_") or "-")
        if given == AUTH_USER + ":" + AUTH_PASSWORD:
            return True
        body = (b"<html><head><title>Proxy Says No</title></head>"
                b"<body style='margin: 0; height: 100%; background: #c8c81e'>The proxy wants to know who you are.</body></html>")
        self.send_response(407)
        self.send_header("Proxy-Authenticate", 'Basic realm="%s"' % realm)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        return False

    def refuse(self, what):
        self.server.log.write("REFUSED", what, self.client_kind())
        self.send_response(502)
        self.send_header("Content-Length", "0")
        self.end_headers()
        self.close_connection = True

    def do_CONNECT(self):
        port = self.server.tunnels.get(self.path) if self.server.proxy else None
        if port is None:
            self.refuse(self.path)
            return
        self.server.log.write("CONNECT", self.path, self.client_kind())
        try:
            upstream = socket.create_connection(("127.0.0.1", port))
        except OSError:
            self.refuse(self.path)
            return
        self.send_response(200, "Connection established")
        self.end_headers()
        self.close_connection = True

        def pump(src, dst):
            try:
                while True:
                    data = src.recv(65536)
                    if not data:
                        break
                    dst.sendall(data)
            except OSError:
                pass
            try:
                dst.shutdown(socket.SHUT_WR)
            except OSError:
                pass

        back = threading.Thread(target=pump, args=(upstream, self.connection), daemon=True)
        back.start()
        pump(self.connection, upstream)
        back.join(30)
        upstream.close()

    def do_GET(self):
        if self.server.proxy and "://" in self.path:
            # A request through the proxy: only the made-up hosts are answered.
            parts = urllib.parse.urlsplit(self.path)
            if parts.scheme != "http" or parts.hostname not in self.server.answers:
                self.refuse(self.path)
                return
            self.path = urllib.parse.urlunsplit(("", "", parts.path or "/", parts.query, ""))
            if not self.proxy_signed_in(self.path.split("?", 1)[0]):
                return
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
        if self.server.hsts:
            self.send_header("Strict-Transport-Security", "max-age=3600")
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
    parser.add_argument("--hsts", action="store_true")
    parser.add_argument("--proxy", action="store_true")
    parser.add_argument("--answer", action="append", default=[], metavar="HOST")
    parser.add_argument("--tunnel", nargs=2, action="append", default=[], metavar=("HOST:PORT", "LOCAL"))
    parser.add_argument("--proxy-realm", default="")
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
    server.proxy = args.proxy
    server.answers = set(args.answer)
    server.tunnels = {target: int(port) for target, port in args.tunnel}
    server.hsts = args.hsts
    server.proxy_realm = args.proxy_realm
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
