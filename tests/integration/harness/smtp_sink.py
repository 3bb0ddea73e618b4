"""A small SMTP server for tests: every accepted message is written to OUTDIR as
N.envelope (MAIL FROM on the first line, one RCPT TO per line after it) and N.eml (the DATA
as received, dot-unstuffed). Recipients "nobody@..." are refused with 550. Prints "port N" once it listens on 127.0.0.1.

With --print instead of OUTDIR (the demo), each accepted message is printed to standard
output instead: the envelope, the main header fields decoded and the text decoded."""
import asyncio
import email
import email.header
import email.policy
import os
import socket
import sys

from aiosmtpd.smtp import SMTP


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


async def main(outdir):
    sink = Sink(outdir)
    # IPPROTO_TCP explicitly: without it multi-line replies stall on delayed acks.
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM, socket.IPPROTO_TCP)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", 0))
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(sink, hostname="vorla-test", data_size_limit=None), sock=sock)
    print("port %d" % sock.getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main(None if sys.argv[1] == "--print" else sys.argv[1]))
