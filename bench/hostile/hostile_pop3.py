#!/usr/bin/python3
"""A hostile POP3 server on 127.0.0.1 for the memory and time benchmarks.

usage: hostile_pop3.py MODE
Prints the port once it listens, then serves every connection in MODE until killed:
  silent   accepts and never says a word
  drip     sends a greeting one byte a second, without end
  endless  a mailbox of one message LISTed as 1000 bytes whose RETR (and TOP) never ends
  big      the same mailbox, whose RETR sends 300 MB before the terminator
  slow     the same mailbox, every answer (the greeting too) 1.5 s late
"""
import socket
import socketserver
import sys
import time

ANNOUNCED = 1000
HEADER = b"From: a@example.org\r\nSubject: hostile\r\n\r\n"
LINE = b"x" * 78 + b"\r\n"
BLOCK = LINE * 800  # 64 000 bytes
BIG = 300 * 1000 * 1000
GIVE_UP_S = 120  # an endless answer stops here, whatever the client does


class Handler(socketserver.BaseRequestHandler):
    def setup(self):
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def send(self, data):
        self.request.sendall(data)

    def handle(self):
        mode = self.server.mode
        try:
            if mode == "silent":
                while self.request.recv(4096):
                    pass
                return
            if mode == "drip":
                while True:
                    self.send(b"+")
                    time.sleep(1)
            self.delay = 1.5 if mode == "slow" else 0
            time.sleep(self.delay)
            self.send(b"+OK hostile ready\r\n")
            reader = self.request.makefile("rb")
            for raw in reader:
                words = raw.strip().decode("ascii", "replace").split()
                command = words[0].upper() if words else ""
                time.sleep(self.delay)
                if command == "QUIT":
                    self.send(b"+OK bye\r\n")
                    return
                if command == "STAT":
                    self.send(b"+OK 1 %d\r\n" % ANNOUNCED)
                elif command == "LIST":
                    self.send(b"+OK 1 %d\r\n" % ANNOUNCED)
                elif command == "TOP" and len(words) > 2 and words[2] == "0":
                    self.send(b"+OK\r\n" + HEADER + b".\r\n")
                elif command in ("RETR", "TOP"):
                    self.answer(mode)
                elif command in ("USER", "PASS", "NOOP", "DELE", "RSET"):
                    self.send(b"+OK\r\n")
                else:
                    self.send(b"-ERR unknown command\r\n")
        except (BrokenPipeError, ConnectionResetError):
            pass

    def answer(self, mode):
        self.send(b"+OK\r\n" + HEADER)
        if mode == "big":
            sent = 0
            while sent < BIG:
                self.send(BLOCK)
                sent += len(BLOCK)
            self.send(b".\r\n")
            return
        end = time.monotonic() + GIVE_UP_S
        while time.monotonic() < end:
            self.send(BLOCK)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in ("silent", "drip", "endless", "big", "slow"):
        sys.stderr.write(__doc__)
        return 2
    server = Server(("127.0.0.1", 0), Handler)
    server.mode = sys.argv[1]
    print(server.server_address[1], flush=True)
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
