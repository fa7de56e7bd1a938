#!/usr/bin/env python3
"""How long `plotwright lsp` takes from a didOpen of a large scenario to its diagnostics, and to
answer an outline, a definition and a completion in it.

usage: bench/lsp_open.py PLOTWRIGHT [LINES [SCENE_LINES]]     (199999 lines, scenes of 2)
"""
import json
import os
import subprocess
import sys
import time


def scenario(lines, scene_lines):
    """Scenes of `scene_lines` lines of Japanese and English text, each jumping to a select
    block of two choices. Short scenes make more scenes than names reach (10,000): a warning or an
    error on every block; long ones, a clean file."""
    out = ['title 始まり', '{場面0}']
    n = 0
    while len(out) < lines:
        out += ['scene 場面%d' % n, '#']
        for i in range(scene_lines):
            out.append('[%%金%d=%d]雨の夜、[名前]は駅にいた。(静かに|黙って)待った。' % (n % 70, i)
                       if i % 2 else 'The train was late; <%%金%d>=3>she counted the coins.' % (n % 70))
        out += ['{分岐%d}' % n, 'select 分岐%d' % n, '場面%d' % (n + 1),
                '<%%金%d>=1>場面%d' % (n % 70, n + 2)]
        n += 1
    return '\n'.join(out[:lines]) + '\n'


def main():
    program = sys.argv[1]
    lines = int(sys.argv[2]) if len(sys.argv) > 2 else 199999
    text = scenario(lines, int(sys.argv[3]) if len(sys.argv) > 3 else 2)
    server = subprocess.Popen([program, 'lsp'], stdin=subprocess.PIPE, stdout=subprocess.PIPE)

    def framed(message):
        body = json.dumps(message, ensure_ascii=False).encode()
        return b'Content-Length: %d\r\n\r\n' % len(body) + body

    def send(message):
        server.stdin.write(framed(message))
        server.stdin.flush()

    def receive_bytes():
        length = 0
        while (line := server.stdout.readline().strip()):
            if line.lower().startswith(b'content-length:'):
                length = int(line.split(b':')[1])
        return server.stdout.read(length)

    def receive():
        return json.loads(receive_bytes())

    def processor_seconds():
        with open('/proc/%d/stat' % server.pid) as stat:
            fields = stat.read().rsplit(')', 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')

    def timed(what, message):
        """Wall time from the message's first byte sent to the answer's last byte read (this
        script's JSON is done outside it), and the server's processor time meanwhile."""
        message = framed(message)
        start, cpu = time.monotonic(), processor_seconds()
        server.stdin.write(message)
        server.stdin.flush()
        answer = receive_bytes()
        print('%-40s %6.0f ms wall %6.0f ms processor' % (
            what, 1000 * (time.monotonic() - start), 1000 * (processor_seconds() - cpu)))
        return json.loads(answer)

    send({'jsonrpc': '2.0', 'id': 1, 'method': 'initialize', 'params': {'capabilities': {}}})
    receive()
    uri = 'file:///large.vell'
    doc = {'uri': uri}
    published = timed('didOpen to diagnostics (%d lines)' % lines, {
        'jsonrpc': '2.0', 'method': 'textDocument/didOpen',
        'params': {'textDocument': {'uri': uri, 'languageId': 'vell', 'version': 1, 'text': text}}})
    print('  %d diagnostics, %.1f MB of text' % (len(published['params']['diagnostics']), len(text.encode()) / 1e6))
    last = lines - 1
    for id_, (what, method, params) in enumerate([
            ('documentSymbol', 'documentSymbol', {}),
            ('definition on the last line', 'definition', {'position': {'line': last, 'character': 2}}),
            ('completion on the last line', 'completion', {'position': {'line': last, 'character': 2}})], 2):
        timed(what, {'jsonrpc': '2.0', 'id': id_, 'method': 'textDocument/' + method,
                     'params': dict(params, textDocument=doc)})
    send({'jsonrpc': '2.0', 'id': 9, 'method': 'shutdown'})
    receive()
    send({'jsonrpc': '2.0', 'method': 'exit'})
    return server.wait()


if __name__ == '__main__':
    sys.exit(main())
