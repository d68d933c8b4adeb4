#!/usr/bin/env python3
"""An RFC 3161 time-stamping authority on this machine, for the signing tests.

    python3 tests/timestamp_server.py TSA.cnf

Listens on a free port of 127.0.0.1 and prints its URL as the first line of its output. A
time-stamp query POSTed to "/" is answered by `openssl ts -reply` with the configuration
TSA.cnf (its default section names the TSA's certificate, key and serial file); any other
path answers 500, for a time-stamping service that is down. Runs until it is killed.
"""

import http.server
import os
import subprocess
import sys
import tempfile


class TimeStampHandler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if self.path != "/":
            self.answer(500, b"")
            return
        with tempfile.TemporaryDirectory() as work:
            query_file = os.path.join(work, "query.tsq")
            reply_file = os.path.join(work, "reply.tsr")
            with open(query_file, "wb") as file:
                file.write(query)
            made = subprocess.run(
                ["openssl", "ts", "-reply", "-config", CONFIG, "-queryfile", query_file,
                 "-out", reply_file], capture_output=True)
            if made.returncode != 0:
                sys.stderr.write(made.stderr.decode(errors="replace"))
                self.answer(500, b"")
                return
            with open(reply_file, "rb") as file:
                self.answer(200, file.read())

    def answer(self, status, body):
        # A client that gives up on a failure may close the connection before the answer.
        try:
            self.send_response(status)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        except ConnectionError:
            pass

    def log_message(self, format, *args):
        pass


CONFIG = os.path.abspath(sys.argv[1])
server = http.server.HTTPServer(("127.0.0.1", 0), TimeStampHandler)
print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
server.serve_forever()
