#!/usr/bin/python3
"""An SMTP peer for the tests that plays a script byte for byte, on loopback:
the misbehaving server that no real server library would be.

    scripted_smtp_server.py SCRIPT

SCRIPT is a JSON list of steps, each [action, base64 bytes, seconds]:

  send    write the bytes in one write
  drip    write the bytes one at a time, the seconds apart
  repeat  write the bytes again and again, the seconds apart (0: as fast as
          the client takes them), until the client goes
  line    read one command line (up to LF)
  data    read message data up to the line "."
  close   close the connection

It listens on 127.0.0.1 at a free port and prints the port as a line, serves
one connection, reads on after the last step until the client closes, then
prints the command lines it read (CR LF removed) as one line of JSON and
ends. It ends anyway after 20 seconds, and when its stdin reaches end of file
(so it never outlives the test program that started it).
"""

import base64
import json
import os
import socket
import sys
import threading
import time

LIFETIME = 20


def main():
    script = json.loads(sys.argv[1])
    threading.Timer(LIFETIME, os._exit, (1,)).start()
    threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()

    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    print(listener.getsockname()[1], flush=True)
    conn, _ = listener.accept()
    received = b""
    commands = []

    def read_until(mark):
        nonlocal received
        while mark not in received:
            chunk = conn.recv(65536)
            if not chunk:
                raise ConnectionError
            received += chunk
        part, received = received.split(mark, 1)
        return part

    try:
        for action, encoded, seconds in script:
            data = base64.b64decode(encoded)
            if action == "send":
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
                commands.append(read_until(b"\n").rstrip(b"\r").decode("latin-1"))
            elif action == "data":
                read_until(b"\r\n.\r\n")
            elif action == "close":
                conn.close()
                break
        else:
            while True:
                commands.append(read_until(b"\n").rstrip(b"\r").decode("latin-1"))
    except OSError:
        pass  # the client went: the script ends here
    print(json.dumps(commands), flush=True)
    os._exit(0)


if __name__ == "__main__":
    main()
