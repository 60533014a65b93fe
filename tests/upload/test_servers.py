#!/usr/bin/env python3
"""Servers that misbehave on purpose, for the upload's e2e tests (loopback only).

  drop   HTTPS: reads the request's headers and --after bytes of its body, then
         resets the connection (a line that drops halfway).
  slow   HTTPS: reads the body a little at a time and never answers (for
         cancelling an upload in progress).
  lost   HTTPS relay in front of the drop box (--upstream HOST:PORT): passes the
         whole request on, reads the drop box's answer, then resets the
         connection without passing it (an answer lost on the way back).
  proxy  plain HTTP CONNECT proxy: appends each CONNECT target (host:port) to
         --log and tunnels the connection to it.
  listen plain TCP: appends a line to --log for each connection and closes it
         (to show that nothing connected).

Each listens on a free port of 127.0.0.1, writes the port to --port-file once
it listens, and runs until killed.
"""
import argparse
import os
import select
import socket
import socketserver
import ssl
import struct
import threading
import time

CHUNK = 65536


def read_head(stream):
    """The request up to its blank line, and what came after it."""
    data = b""
    while b"\r\n\r\n" not in data:
        piece = stream.recv(4096)
        if not piece:
            break
        data += piece
    head, _, rest = data.partition(b"\r\n\r\n")
    return head, rest


def reset(sock):
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()


class DropHandler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.server.tls.wrap_socket(self.request, server_side=True)
        _, body = read_head(conn)
        while len(body) < self.server.args.after:
            piece = conn.recv(CHUNK)
            if not piece:
                return
            body += piece
        reset(conn)


class SlowHandler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.server.tls.wrap_socket(self.request, server_side=True)
        read_head(conn)
        while conn.recv(self.server.args.rate // 10):
            time.sleep(0.1)


def content_length(head):
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            return int(value.strip())
    return 0


class LostHandler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.server.tls.wrap_socket(self.request, server_side=True)
        head, body = read_head(conn)
        while len(body) < content_length(head):
            piece = conn.recv(CHUNK)
            if not piece:
                return
            body += piece
        host, _, port = self.server.args.upstream.rpartition(":")
        upstream_tls = ssl.create_default_context()
        upstream_tls.check_hostname = False
        upstream_tls.verify_mode = ssl.CERT_NONE
        with socket.create_connection((host, int(port)), timeout=10) as raw:
            with upstream_tls.wrap_socket(raw, server_hostname="localhost") as upstream:
                upstream.sendall(head + b"\r\n\r\n" + body)
                read_head(upstream)  # the answer, never passed on
        reset(conn)


class ProxyHandler(socketserver.BaseRequestHandler):
    def handle(self):
        head, early = read_head(self.request)
        words = head.split(b"\r\n", 1)[0].split()
        if len(words) < 2 or words[0] != b"CONNECT":
            self.request.sendall(b"HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n\r\n")
            return
        target = words[1].decode("ascii", "replace")
        with self.server.log_lock, open(self.server.args.log, "a", encoding="ascii") as log:
            log.write(target + "\n")
        host, _, port = target.rpartition(":")
        try:
            upstream = socket.create_connection((host, int(port)), timeout=10)
        except (OSError, ValueError):
            self.request.sendall(b"HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n")
            return
        with upstream:
            self.request.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            if early:
                upstream.sendall(early)
            tunnel(self.request, upstream)


class ListenHandler(socketserver.BaseRequestHandler):
    def handle(self):
        with self.server.log_lock, open(self.server.args.log, "a", encoding="ascii") as log:
            log.write(f"connection from {self.client_address[0]}:{self.client_address[1]}\n")


def tunnel(a, b):
    a.setblocking(True)
    b.settimeout(None)
    peers = {a: b, b: a}
    while True:
        ready, _, _ = select.select(list(peers), [], [])
        for sock in ready:
            data = sock.recv(CHUNK)
            if not data:
                return
            peers[sock].sendall(data)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, handler, args, small_buffer):
        self.args = args
        self.log_lock = threading.Lock()
        super().__init__(("127.0.0.1", 0), handler, bind_and_activate=False)
        if small_buffer:
            # A small receive window makes the sender wait on the reader at once.
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 16384)
        self.server_bind()
        self.server_activate()
        if args.cert:
            self.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.tls.load_cert_chain(args.cert, args.key)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mode", choices=["drop", "slow", "lost", "proxy", "listen"])
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--cert", help="server certificate, PEM (drop, slow)")
    parser.add_argument("--key", help="its key, PEM")
    parser.add_argument("--after", type=int, default=256 * 1024, help="body bytes read before the reset (drop)")
    parser.add_argument("--rate", type=int, default=20000, help="body bytes read per second (slow)")
    parser.add_argument("--upstream", help="HOST:PORT of the drop box (lost)")
    parser.add_argument("--log", help="file that lists the CONNECT targets (proxy) or connections (listen)")
    args = parser.parse_args()
    if args.mode in ("drop", "slow", "lost") and not (args.cert and args.key):
        parser.error("drop, slow and lost need --cert and --key")
    if args.mode == "lost" and not args.upstream:
        parser.error("lost needs --upstream")
    if args.mode in ("proxy", "listen") and not args.log:
        parser.error("proxy and listen need --log")
    handler = {"drop": DropHandler, "slow": SlowHandler, "lost": LostHandler, "proxy": ProxyHandler,
               "listen": ListenHandler}[args.mode]
    server = Server(handler, args, small_buffer=args.mode == "slow")
    port = server.server_address[1]
    with open(args.port_file + ".part", "w", encoding="ascii") as out:
        out.write(f"{port}\n")
    os.replace(args.port_file + ".part", args.port_file)
    print(port, flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
