"""Drives `plotwright lsp` over pipes, as an editor does: the sessions of recorded messages and
the answers each must get in protocol_cases.json (its first step says how they read, a
step's "status" the exit status after it), then a flood of diagnostics.

usage: protocol_test.py PLOTWRIGHT
"""
import json
import os
import select
import subprocess
import sys
import time

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'protocol_cases.json'),
          encoding='utf-8') as cases_file:
    CASES = json.load(cases_file)
URI = CASES['uri']


def request(id_, method, **params):
    return {'jsonrpc': '2.0', 'id': id_, 'method': method, 'params': params}


def note(method, **params):
    return {'jsonrpc': '2.0', 'method': method, 'params': params}


def error(id_, code):
    return {'id': id_, 'error': {'code': code}}


def opened(text, version=1):
    return note('textDocument/didOpen', textDocument={
        'uri': URI, 'languageId': 'vell', 'version': version, 'text': text})


def raw(pieces):
    """The bytes of a "raw" message: its pieces joined, [text, n] standing for text n times."""
    return ''.join(p if isinstance(p, str) else p[0] * p[1] for p in pieces).encode()


INITIALIZE = request(1, 'initialize', processId=None, rootUri=None, capabilities={})


class Server:
    def __init__(self, program):
        self.process = subprocess.Popen([program, 'lsp'], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE)
        self.buffer = b''

    def send(self, message):
        if not isinstance(message, bytes):
            body = json.dumps(message, ensure_ascii=False).encode()
            message = b'Content-Length: %d\r\n\r\n' % len(body) + body
        self.process.stdin.write(message)
        self.process.stdin.flush()

    def receive(self, timeout=120.0):
        """The next message, or None when none comes within `timeout` seconds. The default only
        bounds a failing run: an answer expected comes as soon as the server has it, however
        loaded the machine (silence is checked with a ping, never by waiting)."""
        deadline = time.monotonic() + timeout
        while True:
            header, _, rest = self.buffer.partition(b'\r\n\r\n')
            if _:
                length = int(header.split(b':')[1])
                if len(rest) >= length:
                    self.buffer = rest[length:]
                    return json.loads(rest[:length])
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.process.stdout], [], [], left)[0]:
                return None
            chunk = self.process.stdout.read1(1 << 16)
            if not chunk:
                return None
            self.buffer += chunk

    def finish(self, *messages):
        for message in messages:
            self.send(message)
        self.process.stdin.close()
        return self.process.wait(timeout=10)


def matches(expected, actual):
    if isinstance(expected, dict):
        return isinstance(actual, dict) and all(
            key in actual and matches(value, actual[key]) for key, value in expected.items())
    if isinstance(expected, list):
        return (isinstance(actual, list) and len(expected) == len(actual)
                and all(matches(e, a) for e, a in zip(expected, actual)))
    return expected == actual


def run_session(program, steps):
    """Failures, as text, of the steps of one session."""
    server = Server(program)
    failures = []
    for step in steps:
        sent, expected = step['send'], step['expect']
        for message in sent:
            server.send(raw(message['raw']) if isinstance(message, dict) and 'raw' in message
                        else message)
        for wanted in expected:
            got = server.receive()
            if not matches(wanted, got):
                failures.append('sent %s\n  expected %s\n  got %s' % (sent, wanted, got))
        if not expected or step.get('quiet'):  # a ping shows nothing else came out
            server.send(request('ping', '$/ping'))
            got = server.receive()
            if not matches(error('ping', -32601), got):
                failures.append('sent %s\n  expected nothing more, got %s' % (sent, got))
    status = server.finish(*([] if steps[-1].get('eof') else [note('exit')]))
    expected = steps[-1].get('status', 0)
    if status != expected:
        failures.append('exit: status %d, expected %d' % (status, expected))
    return failures


def check_flood(program):
    """A document with more diagnostics than a publication carries: its error is among those
    sent, and a last diagnostic counts the ones left out."""
    server = Server(program)
    server.send(INITIALIZE)
    server.receive()
    server.send(opened('title T\n' + '{Nowhere}\n' * 1500 + '{Road}\nselect Road\nMarkt\n'))
    sent = server.receive()['params']['diagnostics']
    failures = []
    if len(sent) != 1001 or [d['severity'] for d in sent].count(1) != 1:
        failures.append('1,501 diagnostics were published as %d, %d of them errors' %
                        (len(sent), [d['severity'] for d in sent].count(1)))
    elif not sent[-1]['message'].startswith('501 more diagnostics are not shown'):
        failures.append('the last diagnostic says %r' % sent[-1]['message'])
    server.finish(request(2, 'shutdown'), note('exit'))
    return failures


def main():
    program = sys.argv[1]
    failures = (sum((run_session(program, steps) for steps in CASES['sessions'].values()), []) +
                check_flood(program))
    for failure in failures:
        print('FAIL:', failure)
    print('%d failures' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
