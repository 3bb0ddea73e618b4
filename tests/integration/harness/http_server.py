#!/usr/bin/python3
"""HTTP server for the download tests: serves a folder on 127.0.0.1 and prints its port.

Paths beyond the plain files:
  /echo...            the request line, the headers and the body sent, as the response body
  /nolength/NAME      the file NAME without a Content-Length header
  /badlength/NAME     the file NAME with a Content-Length that is not a number
  /short/NAME         the file NAME, declared 1000 bytes longer than it is
  /redirect/NAME      a redirect to /NAME
  /away/HOST/PATH     a redirect to http://HOST/PATH
  /stall/NAME         the file NAME, declared longer, then nothing more for 30 seconds
  /drip/NAME          the file NAME with its length, one byte every tenth of a second
  http://HOST/PATH    a request sent to this server as a proxy: "proxied HOST/PATH"
"""
import argparse
import functools
import http.server
import os
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        for prefix, action in (("/echo", self.echo), ("/nolength/", self.no_length),
                               ("/badlength/", self.bad_length), ("/short/", self.short),
                               ("/redirect/", self.redirect), ("/away/", self.away),
                               ("/stall/", self.stall), ("/drip/", self.drip),
                               ("http://", self.proxied)):
            if self.path.startswith(prefix):
                action(self.path[len(prefix):])
                return
        super().do_GET()

    def file_bytes(self, name):
        with open(os.path.join(self.directory, name), "rb") as f:
            return f.read()

    def echo(self, _rest):
        length = int(self.headers.get("Content-Length", "0"))
        sent = self.rfile.read(length) if length else b""
        body = (self.requestline + "\r\n" + str(self.headers)).encode("latin-1") + sent
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def no_length(self, name):
        body = self.file_bytes(name)
        self.send_response(200)
        self.end_headers()
        self.wfile.write(body)

    def bad_length(self, name):
        body = self.file_bytes(name)
        self.send_response(200)
        self.send_header("Content-Length", "twelve")
        self.end_headers()
        self.wfile.write(body)

    def short(self, name):
        body = self.file_bytes(name)
        self.send_response(200)
        self.send_header("Content-Length", str(len(body) + 1000))
        self.end_headers()
        self.wfile.write(body)

    def stall(self, name):
        self.short(name)
        self.wfile.flush()
        time.sleep(30)

    def drip(self, name):
        body = self.file_bytes(name)
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        for i in range(len(body)):
            self.wfile.write(body[i:i + 1])
            self.wfile.flush()
            time.sleep(0.1)

    def proxied(self, address):
        body = ("proxied " + address).encode("latin-1")
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, name):
        self.send_response(302)
        self.send_header("Location", "/" + name)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def away(self, address):
        self.send_response(302)
        self.send_header("Location", "http://" + address)
        self.send_header("Content-Length", "0")
        self.end_headers()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--directory", required=True)
    args = parser.parse_args()
    handler = functools.partial(Handler, directory=args.directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    print(f"port {server.server_address[1]}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
