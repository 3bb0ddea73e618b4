#!/usr/bin/python3
"""One account check with Python's poplib: USER, PASS, STAT, LAST, QUIT.

Prints the median wall time of RUNS checks in milliseconds, as "poplib_check_median_ms N".
"""
import argparse
import poplib
import statistics
import time


def check(port, user, password):
    pop = poplib.POP3("127.0.0.1", port, timeout=10)
    pop.user(user)
    pop.pass_(password)
    count, _size = pop.stat()
    try:
        pop._shortcmd("LAST")
    except poplib.error_proto:
        pass  # Dovecot has no LAST, as many servers
    pop.quit()
    return count


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--runs", type=int, default=20)
    args = parser.parse_args()
    check(args.port, args.user, args.password)  # warm-up, as the C++ side gets one
    times = []
    for _ in range(args.runs):
        start = time.perf_counter()
        check(args.port, args.user, args.password)
        times.append((time.perf_counter() - start) * 1000.0)
    print(f"poplib_check_median_ms {statistics.median(times):.3f}")


if __name__ == "__main__":
    main()
