"""A small SMTP server for tests: every accepted message is written to OUTDIR as
N.envelope (MAIL FROM on the first line, one RCPT TO per line after it) and N.eml (the DATA
as received, dot-unstuffed). Recipients "nobody@..." are refused with 550. Prints "port N" once it listens on 127.0.0.1.

With --print instead of OUTDIR (the demo), each accepted message is printed to standard
output instead: the envelope, the main header fields decoded and the text decoded.

Options after OUTDIR: --starttls CERT KEY or --smtps CERT KEY (TLS), --auth (AUTH PLAIN, LOGIN
and XOAUTH2 for the user "vorla" with the password "vorla-pass" or the bearer token
"vorla-token"), --no-plain (AUTH without PLAIN)."""
import asyncio
import base64
import email
import email.header
import email.policy
import os
import socket
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult

USER = b"vorla"
PASSWORD = b"vorla-pass"
TOKEN = "vorla-token"


class Sink:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("nobody@"):
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        if self.outdir is None:
            print_message(self.count, envelope)
            return "250 OK message accepted"
        base = os.path.join(self.outdir, str(self.count))
        with open(base + ".eml.part", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".envelope", "w") as f:
            f.write(envelope.mail_from + "\n")
            for rcpt in envelope.rcpt_tos:
                f.write(rcpt + "\n")
        os.rename(base + ".eml.part", base + ".eml")
        return "250 OK message accepted"

    async def auth_XOAUTH2(self, server, args):
        if len(args) < 2:
            return AuthResult(success=False, handled=False)
        text = base64.b64decode(args[1]).decode("latin-1")
        fields = dict(f.split("=", 1) for f in text.split("\x01") if "=" in f)
        ok = fields.get("user") == USER.decode() and fields.get("auth") == "Bearer " + TOKEN
        return AuthResult(success=ok, handled=False)

def print_message(number, envelope):
    message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
    out = [f"----- message {number} received -----",
           f"envelope: from {envelope.mail_from} to {', '.join(envelope.rcpt_tos)}"]
    for name in ("From", "To", "CC", "Subject", "In-Reply-To", "Content-Type"):
        if message[name] is not None:
            out.append(f"{name}: {message[name]}")
    out.append("")
    body = message.get_body(preferencelist=("plain",))
    out.append(body.get_content().rstrip("\r\n") if body is not None else "(no text part)")
    out.append("-----")
    print("\n".join(out), flush=True)


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = getattr(auth_data, "login", None) == USER and auth_data.password == PASSWORD
    return AuthResult(success=ok, handled=False)


async def main(outdir, options):
    sink = Sink(outdir)
    context = None
    mode = None
    for flag in ("--starttls", "--smtps"):
        if flag in options:
            at = options.index(flag)
            context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
            context.load_cert_chain(options[at + 1], options[at + 2])
            mode = flag
    settings = {}
    if "--auth" in options:
        settings["authenticator"] = authenticator
        settings["auth_require_tls"] = mode != "--smtps"
        if "--no-plain" in options:
            settings["auth_exclude_mechanism"] = ["PLAIN"]
    if mode == "--starttls":
        settings["tls_context"] = context
    # IPPROTO_TCP explicitly: without it multi-line replies stall on delayed acks.
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM, socket.IPPROTO_TCP)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", 0))
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(sink, hostname="vorla-test", data_size_limit=None, **settings), sock=sock,
        ssl=context if mode == "--smtps" else None)
    print("port %d" % sock.getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main(None if sys.argv[1] == "--print" else sys.argv[1], sys.argv[2:]))
