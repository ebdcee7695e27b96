#!/usr/bin/python3
"""An SMTP peer for the tests that plays a script byte for byte, on loopback:
the misbehaving server that no real server library would be.

    scripted_smtp_server.py SCRIPT

SCRIPT is a JSON list of steps, each [action, base64 bytes, seconds]:

  send      write the bytes in one write
  drip      write the bytes one at a time, the seconds apart
  repeat    write the bytes again and again, the seconds apart (0: as fast as
            the client takes them), until the client goes
  line      read one command line (up to LF)
  data      read message data up to the line "."
  slowdata  the same, taking at most N bytes (the bytes, in decimal digits)
            at a time, the seconds apart: a server behind a slow link
  take      read exactly N bytes (the bytes, in decimal digits) of whatever
            comes, e.g. the start of the message data
  recv      read whatever one read gives (a TLS client hello, say)
  await     wait until the client's bytes are in the socket, read none of
            them: a close then resets the connection
  fin       write the bytes and end the sending side with them, in one
            segment, so that the client cannot answer the bytes before the
            end comes; then wait until the client has acknowledged the end
  mark      note the time (see "marks" below)
  stall     read nothing for the seconds; after steps that read, the server
            is quiet from the first one's start: their reads let the client
            send on, the last time maybe before the stall begins; after any
            other step the server stays quiet since that step's act
  tls       the server's side of a TLS handshake, on a self-signed
            certificate made for it; every step after it speaks TLS
  close     close the connection
  buffer    before any other step: the server's receive buffer is N bytes
            (the bytes, in decimal digits) rather than 64 kB
  multipath before any other step: the server listens for multipath TCP

It listens on 127.0.0.1 at a free port and prints the port as a line, serves
one connection, reads on after the last step until the client closes, then
prints one line of JSON and ends: {"commands": the command lines it read (CR
LF removed), "quiet": the times since which the server has done nothing
the client must answer, one for each act (a send, fin or close, or a stall
after reads, from the first of them), taken before the act, so that it never
comes after the client's answer to it; no drip or repeat counts, as the
client's wait for a reply began before its first byte; in seconds of the
system's monotonic clock, in order), "marks": the times of the mark steps,
on the same clock, "subflows": on multipath TCP, the paths the connection
had besides its first when the last step was done, or null}. It ends anyway
after 5 minutes (a test that hangs), and when its stdin reaches end of file
(so it never outlives the test program that started it).
"""

import base64
import json
import os
import select
import shutil
import socket
import sys
import tempfile
import threading
import time

LIFETIME = 300  # far longer than any test, on however busy a machine, waits for it
# Linux's, which Python does not name
SO_RCVBUFFORCE = 33
IPPROTO_MPTCP = 262
SOL_MPTCP = 284
MPTCP_INFO = 1
TCP_FIN_WAIT1 = 4
CHUNK = 65536
READS = ("line", "data", "slowdata", "take", "recv")


class Reader:
    """What the client sent, read as the steps ask for it."""

    def __init__(self, conn):
        self.conn = conn
        self.buffer = bytearray()

    def receive(self, most=CHUNK):
        chunk = self.conn.recv(most)
        if not chunk:
            raise ConnectionError
        self.buffer += chunk
        return len(chunk)

    def until(self, mark):
        """Everything up to the mark, which is dropped."""
        searched = 0
        while True:
            found = self.buffer.find(mark, searched)
            if found >= 0:
                part = bytes(self.buffer[:found])
                del self.buffer[:found + len(mark)]
                return part
            searched = max(0, len(self.buffer) - len(mark) + 1)
            self.receive()

    def skip(self, mark, budget=None):
        """Drops everything up to and with the mark, keeping no more than the
        mark's length in memory however much comes; with a budget, reads at
        most that many bytes: False when the mark has not come within them."""
        taken = 0
        while True:
            found = self.buffer.find(mark)
            if found >= 0:
                del self.buffer[:found + len(mark)]
                return True
            del self.buffer[:max(0, len(self.buffer) - len(mark) + 1)]
            if budget is not None and taken >= budget:
                return False
            taken += self.receive(CHUNK if budget is None else min(CHUNK, budget - taken))

    def exactly(self, count):
        while len(self.buffer) < count:
            self.receive(min(CHUNK, count - len(self.buffer)))
        del self.buffer[:count]


def tls_context(folder):
    # The test server's certificate and TLS settings: one source for both servers.
    from smtp_test_server import make_certificate, server_context
    cert, key = make_certificate(folder, False)
    return server_context(cert, key, False)


def give_up():
    print(f"scripted_smtp_server.py: still serving after {LIFETIME} s: gives up", file=sys.stderr, flush=True)
    os._exit(1)


def main():
    script = json.loads(sys.argv[1])
    threading.Timer(LIFETIME, give_up).start()
    threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()

    # A fixed, small receive buffer, as a server far away has in effect: what
    # the server has not read waits on the client's side, however much the
    # kernel would otherwise take in for it. Root may go past the system's cap.
    buffer = 65536
    multipath = False
    while script and script[0][0] in ("buffer", "multipath"):
        action, encoded, _ = script.pop(0)
        if action == "buffer":
            buffer = int(base64.b64decode(encoded))
        else:
            multipath = True
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM, IPPROTO_MPTCP if multipath else 0)
    option = SO_RCVBUFFORCE if os.geteuid() == 0 else socket.SO_RCVBUF
    listener.setsockopt(socket.SOL_SOCKET, option, buffer)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    # Made before the client can connect: the client's handshake time-out
    # would otherwise count the certificate's making too.
    cert_folder = tempfile.mkdtemp(prefix="scripted-smtp-cert-")
    context = tls_context(cert_folder) if any(step[0] == "tls" for step in script) else None
    print(listener.getsockname()[1], flush=True)
    conn, _ = listener.accept()
    reader = Reader(conn)
    commands = []
    quiet = []
    marks = []
    subflows = None

    try:
        previous, started = None, None
        for action, encoded, seconds in script:
            after_reads = previous in READS
            if not after_reads:
                started = time.monotonic()
            previous = action
            data = base64.b64decode(encoded)
            # Every time is taken before the act: taken after it, it could
            # come after the client's answer to it.
            if action == "send":
                quiet.append(time.monotonic())
                conn.sendall(data)
            elif action == "drip":
                for byte in data:
                    conn.sendall(bytes([byte]))
                    time.sleep(seconds)
            elif action == "repeat":
                while True:
                    conn.sendall(data)
                    time.sleep(seconds)
            elif action == "line":
                commands.append(reader.until(b"\n").rstrip(b"\r").decode("latin-1"))
            elif action == "data":
                reader.skip(b"\r\n.\r\n")
            elif action == "slowdata":
                while not reader.skip(b"\r\n.\r\n", int(data)):
                    time.sleep(seconds)
            elif action == "take":
                reader.exactly(int(data))
            elif action == "recv":
                reader.receive()
            elif action == "await":
                select.select([conn], [], [])
            elif action == "fin":
                conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_CORK, 1)
                quiet.append(time.monotonic())
                conn.sendall(data)
                conn.shutdown(socket.SHUT_WR)
                while conn.getsockopt(socket.IPPROTO_TCP, socket.TCP_INFO, 1)[0] == TCP_FIN_WAIT1:
                    time.sleep(0.001)
            elif action == "mark":
                marks.append(time.monotonic())
            elif action == "stall":
                if after_reads:
                    quiet.append(started)
                time.sleep(seconds)
            elif action == "tls":
                conn = context.wrap_socket(conn, server_side=True)
                reader.conn = conn
            elif action == "close":
                quiet.append(time.monotonic())
                conn.close()
                break
        else:
            if multipath:
                subflows = conn.getsockopt(SOL_MPTCP, MPTCP_INFO, 64)[0]  # mptcpi_subflows comes first
            while True:
                commands.append(reader.until(b"\n").rstrip(b"\r").decode("latin-1"))
    except OSError:
        pass  # the client went: the script ends here
    shutil.rmtree(cert_folder, ignore_errors=True)
    print(json.dumps({"commands": commands, "quiet": quiet, "marks": marks, "subflows": subflows}), flush=True)
    os._exit(0)


if __name__ == "__main__":
    main()
