#!/usr/bin/python3
"""The phone server's memory and a phone's booking time under the attacks of issue 34,
measured from outside on `vorelle-cli serve` over the loopback: the server's resident
memory (VmRSS sampled every 50 ms, and VmHWM, the kernel's peak) while

  chunks   bodies of 1 MB sent chunked, with and without a key, 4 clients at once, and 3
           keyless clients streaming 300 MB each in chunks;
  slow     50 connections from 127.0.0.2 sending one byte a second for SECONDS (those the
           server closes come back at once), while a phone on 127.0.0.1 books every second.

Usage: bench/phone-server-attacks.py [--cli PATH] [--seconds N]
(default build/cli/vorelle-cli, 60 s). Goals: resident memory under 100 MB, every booking
201 within 1 s.
"""
import argparse
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time


def fail(message):
    sys.exit("phone-server-attacks: " + message)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def memory(pid):
    """VmRSS and VmHWM of pid, in MB."""
    values = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            name, _, rest = line.partition(":")
            if name in ("VmRSS", "VmHWM"):
                values[name] = int(rest.split()[0]) / 1024
    return values["VmRSS"], values["VmHWM"]


class Sampler:
    """The highest VmRSS seen while it runs."""

    def __init__(self, pid):
        self.pid, self.peak, self.running = pid, 0.0, True
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        while self.running:
            self.peak = max(self.peak, memory(self.pid)[0])
            time.sleep(0.05)

    def stop(self):
        self.running = False
        self.thread.join()
        return self.peak


def dial(source, port):
    s = socket.socket()
    s.bind((source, 0))
    s.connect(("127.0.0.1", port))
    return s


def chunked_post(port, key, total, piece=65536, source="127.0.0.1"):
    """POSTs total bytes in chunks; returns the status line the server answered, or how the
    connection ended."""
    s = dial(source, port)
    s.settimeout(30)
    head = "POST /api/v1/entries HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n"
    if key:
        head += f"Authorization: Bearer {key}\r\n"
    try:
        s.sendall((head + "\r\n").encode())
        chunk = f"{piece:x}\r\n".encode() + b"x" * piece + b"\r\n"
        for _ in range(total // piece):
            s.sendall(chunk)
        s.sendall(b"0\r\n\r\n")
    except OSError:
        pass  # the server answered early and closed
    try:
        answer = s.recv(4096).decode("utf-8", "replace")
    except OSError as error:
        answer = f"({error.strerror})"
    s.close()
    return answer.split("\r\n")[0] if answer else "(closed without an answer)"


def book(port, key):
    body = '{"kind":"expense","amount":"1.00","category":"饮食"}'.encode()
    request = (f"POST /api/v1/entries HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer {key}\r\n"
               f"Content-Type: application/json\r\nContent-Length: {len(body)}\r\nConnection: close\r\n\r\n").encode()
    start = time.monotonic()
    s = dial("127.0.0.1", port)
    s.settimeout(10)
    try:
        s.sendall(request + body)
        answer = s.recv(4096).decode("utf-8", "replace")
    except OSError:
        answer = "(no answer within 10 s)"
    s.close()
    return answer.split("\r\n")[0], time.monotonic() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", default="build/cli/vorelle-cli")
    parser.add_argument("--seconds", type=int, default=60)
    args = parser.parse_args()
    cli = os.path.abspath(args.cli)
    work = tempfile.mkdtemp(prefix="vorelle-attacks-")
    env = dict(os.environ, VORELLE_BOOK_PASSWORD="bk", VORELLE_PASSWORD="pw", XDG_DATA_HOME=work,
               XDG_CONFIG_HOME=work, HOME=work)
    book_path = os.path.join(work, "家.book")
    server = None
    try:
        subprocess.run([cli, "--book", book_path, "create", "--admin", "妈妈"], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        port = free_port()
        link = subprocess.run([cli, "--book", book_path, "--user", "妈妈", "token", "add", "--label", "手机",
                               "--listen", f"127.0.0.1:{port}"], env=env, check=True, capture_output=True,
                              text=True).stdout.splitlines()[0]
        key = link.split("#k=")[1]
        server = subprocess.Popen([cli, "--book", book_path, "serve", "--listen", f"127.0.0.1:{port}"], env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                break
            except OSError:
                time.sleep(0.1)
        status, _ = book(port, key)
        if " 201 " not in status:
            fail("the first booking: " + status)
        print(f"idle: VmRSS {memory(server.pid)[0]:.1f} MB")

        sampler = Sampler(server.pid)
        answers = []
        clients = [threading.Thread(target=lambda k=k: answers.append(chunked_post(port, k, 1 << 20)))
                   for k in (None, None, None, key) for _ in range(5)]
        clients += [threading.Thread(target=lambda: answers.append(chunked_post(port, None, 300 << 20)))
                    for _ in range(3)]
        for c in clients:
            c.start()
        for c in clients:
            c.join()
        peak = sampler.stop()
        print(f"chunks: {len(answers)} bodies (1 MB x20, 300 MB x3): answers {sorted(set(answers))}; "
              f"peak VmRSS {peak:.1f} MB")

        sampler = Sampler(server.pid)
        attacking = True

        def slow():
            sockets = [None] * 50
            while attacking:
                for i, s in enumerate(sockets):
                    try:
                        if s is None:
                            sockets[i] = dial("127.0.0.2", port)
                            sockets[i].sendall(b"P")
                        else:
                            s.sendall(b"O")
                    except OSError:
                        if s is not None:
                            s.close()
                        sockets[i] = None
                time.sleep(1)
            for s in sockets:
                if s is not None:
                    s.close()

        attacker = threading.Thread(target=slow)
        attacker.start()
        time.sleep(2)
        times, statuses = [], set()
        end = time.monotonic() + args.seconds
        while time.monotonic() < end:
            status, took = book(port, key)
            statuses.add(status)
            times.append(took)
            time.sleep(1)
        attacking = False
        attacker.join()
        peak = sampler.stop()
        print(f"slow: {args.seconds} s of 50 slow connections from 127.0.0.2: {len(times)} bookings {sorted(statuses)}, "
              f"slowest {max(times) * 1000:.0f} ms, median {sorted(times)[len(times) // 2] * 1000:.0f} ms; "
              f"peak VmRSS {peak:.1f} MB")
        print(f"whole run: VmHWM {memory(server.pid)[1]:.1f} MB")
    finally:
        if server is not None:
            server.terminate()
            server.wait()
        shutil.rmtree(work, ignore_errors=True)


main()
