#!/usr/bin/python3
"""DNS server for the settings-search tests: answers from a zone file on 127.0.0.1 (UDP) and
prints its port. Names the zone does not hold get NXDOMAIN; nothing is forwarded."""
import argparse
import socket

from dnslib import QTYPE, RCODE, RR, DNSRecord


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zone", required=True)
    args = parser.parse_args()
    with open(args.zone, encoding="utf-8") as zone:
        records = RR.fromZone(zone.read())
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 0))
    print(f"port {sock.getsockname()[1]}", flush=True)
    while True:
        data, peer = sock.recvfrom(4096)
        try:
            request = DNSRecord.parse(data)
        except Exception:  # a broken query gets no answer, as from a real server
            continue
        reply = request.reply()
        question = request.q
        named = [rr for rr in records if rr.rname == question.qname]
        for rr in named:
            if question.qtype in (rr.rtype, QTYPE.ANY):
                reply.add_answer(rr)
        if not named:
            reply.header.rcode = RCODE.NXDOMAIN
        sock.sendto(reply.pack(), peer)


if __name__ == "__main__":
    main()
