#!/usr/bin/env python3
"""Drives `plotwright lsp` over pipes, as an editor does, with a table of recorded messages and
the answers each must get. An expected answer matches when every member it names is there with
that value (lists: the same length, each item matching); members it leaves out are not checked.

usage: protocol_test.py PLOTWRIGHT
"""
import json
import select
import subprocess
import sys
import time

URI = 'file:///story.vell'
# Line 1 begins with a character outside the Basic Multilingual Plane (two UTF-16 code units,
# and no Shift-JIS form): everything after it on that line stands two units further on.
TEXT = ('title 始まり\n'
        '😀は[name=アンナ]と言った。\n'
        '{森}\n'
        '{道}\n'
        'select 道\n'
        '森\n'
        '<%gold>=10>市場\n'
        'scene 森\n'
        '#\n'
        '[%gold=10]暗い森。[name]は歩いた。\n')


def request(id_, method, **params):
    return {'jsonrpc': '2.0', 'id': id_, 'method': method, 'params': params}


def note(method, **params):
    return {'jsonrpc': '2.0', 'method': method, 'params': params}


def at(id_, method, line, character, **more):
    return request(id_, 'textDocument/' + method, textDocument={'uri': URI},
                   position={'line': line, 'character': character}, **more)


def span(line, start, end, end_line=None):
    return {'start': {'line': line, 'character': start},
            'end': {'line': line if end_line is None else end_line, 'character': end}}


def here(line, start, end):
    return {'uri': URI, 'range': span(line, start, end)}


def error(id_, code):
    return {'id': id_, 'error': {'code': code}}


def opened(text=TEXT, version=1):
    return note('textDocument/didOpen', textDocument={
        'uri': URI, 'languageId': 'vell', 'version': version, 'text': text})


def framed(body):
    return b'Content-Length: %d\r\n\r\n' % len(body) + body


def nest(depth):
    return b'[' * depth + b']' * depth


def diagnostics(version, *found):
    params = {'uri': URI, 'diagnostics': list(found)}
    if version is not None:
        params['version'] = version
    return {'method': 'textDocument/publishDiagnostics', 'params': params}


INITIALIZE = request(1, 'initialize', processId=None, rootUri=None, capabilities={})
INITIALIZED = {'id': 1, 'result': {'capabilities': {
    'textDocumentSync': {'openClose': True, 'change': 1}, 'renameProvider': {'prepareProvider': True}}}}
V001 = {'range': span(1, 0, 2), 'severity': 1, 'code': 'V001',
        'message': 'character U+1F600 (😀) has no Shift-JIS form'}
V101 = {'range': span(6, 11, 13), 'severity': 1, 'code': 'V101',
        'message': 'Scene "市場" not found in select statement "道"'}
# The last block is a choice's destination, so its use count is skewed.
V223 = {'range': span(5, 0, 1), 'severity': 2, 'code': 'V223'}
SCENE = here(7, 6, 7)  # the name in "scene 森"

# One session: (messages sent, answers expected in order). A message given as bytes is sent as
# it is, header included.
EDITING = [
    ([INITIALIZE], [INITIALIZED]),
    ([note('initialized')], []),
    ([opened()], [diagnostics(1, V001, V223, V101)]),
    # Go to the block from a jump and from a choice; from a variable to where it is set.
    ([at(2, 'definition', 2, 1)], [{'id': 2, 'result': SCENE}]),
    ([at(3, 'definition', 5, 0)], [{'id': 3, 'result': SCENE}]),
    ([at(4, 'definition', 1, 5)], [{'id': 4, 'result': [here(1, 4, 8)]}]),
    ([at(5, 'definition', 6, 12)], [{'id': 5, 'result': None}]),  # a scene nobody wrote
    ([at(6, 'references', 7, 7, context={'includeDeclaration': True})],
     [{'id': 6, 'result': [here(2, 1, 2), here(5, 0, 1), SCENE]}]),
    ([at(7, 'references', 4, 7, context={'includeDeclaration': False})],
     [{'id': 7, 'result': [here(3, 1, 2)]}]),
    ([at(8, 'hover', 2, 2)], [{'id': 8, 'result': {'range': span(2, 1, 2), 'contents': {
        'kind': 'markdown', 'value': '```vell\nscene 森\n#\n[%gold=10]暗い森。[name]は歩いた。\n```\n'
                                     'Line 8; 2 choices and jumps lead here.'}}}]),
    ([at(9, 'hover', 6, 4)], [{'id': 9, 'result': {'range': span(6, 2, 6), 'contents': {
        'kind': 'markdown', 'value': '`gold` is set on\n\n- line 10: `[%gold=10]暗い森。[name]は歩いた。`\n'}}}]),
    ([at(10, 'hover', 1, 1)], [{'id': 10, 'result': None}]),  # inside the surrogate pair
    ([at(11, 'completion', 5, 1)], [{'id': 11, 'result': [
        {'label': name, 'textEdit': {'newText': name, 'range': span(5, 0, 1)}}
        for name in ('始まり', '道', '森')]}]),
    ([at(12, 'completion', 9, 4)], [{'id': 12, 'result': [
        {'label': 'name', 'detail': 'text', 'textEdit': {'range': span(9, 2, 4)}},
        {'label': 'gold', 'detail': 'number'}]}]),
    ([request(13, 'textDocument/documentSymbol', textDocument={'uri': URI})], [{'id': 13, 'result': [
        {'name': '始まり', 'detail': 'title', 'range': span(0, 0, 3, 3), 'selectionRange': span(0, 6, 9),
         'children': []},
        {'name': '道', 'detail': 'select', 'range': span(4, 0, 13, 6), 'children': [
            {'name': '森', 'selectionRange': span(5, 0, 1)},
            {'name': '市場', 'detail': 'guarded choice', 'selectionRange': span(6, 11, 13)}]},
        {'name': '森', 'detail': 'scene', 'range': span(7, 0, 25, 9), 'children': [
            {'name': '[%gold=10]暗い森。[name]は歩いた。', 'detail': 'paragraph',
             'range': span(8, 0, 25, 9), 'selectionRange': span(8, 0, 1)}]}]}]),
    ([at(14, 'prepareRename', 2, 1)], [{'id': 14, 'result': {'range': span(2, 1, 2), 'placeholder': '森'}}]),
    # A choice that names no block: its fix adds the block, at the end here, since the last
    # block is a choice's too.
    ([request(30, 'textDocument/codeAction', textDocument={'uri': URI}, range=span(6, 12, 12),
              context={'diagnostics': []})], [{'id': 30, 'result': [
        {'title': 'Add scene "市場"', 'kind': 'quickfix', 'diagnostics': [{'code': 'V101'}],
         'edit': {'changes': {URI: [{'range': span(10, 0, 0), 'newText': 'scene 市場\n\n'}]}}}]}]),
    ([at(15, 'rename', 5, 0, newName='深い林')], [{'id': 15, 'result': {'changes': {URI: [
        {'range': span(2, 1, 2), 'newText': '深い林'}, {'range': span(5, 0, 1), 'newText': '深い林'},
        {'range': span(7, 6, 7), 'newText': '深い林'}]}}}]),
    # Names refused: taken, empty, blank first, no Shift-JIS form, read as a statement.
    ([at(16, 'rename', 7, 6, newName='道')], [
        {'id': 16, 'error': {'code': -32803, 'message': '"道" is taken by the block on line 5.'}}]),
    ([at(17, 'rename', 7, 6, newName='')], [error(17, -32803)]),
    ([at(18, 'rename', 7, 6, newName=' 林')], [error(18, -32803)]),
    ([at(19, 'rename', 7, 6, newName='林☕')], [{'id': 19, 'error': {
        'code': -32803, 'message': 'character U+2615 (☕) has no Shift-JIS form'}}]),
    ([at(20, 'rename', 7, 6, newName='settle')], [{'id': 20, 'error': {
        'code': -32803, 'message': 'A choice naming it would be read as a "set" statement.'}}]),
    ([at(21, 'rename', 9, 3, newName='x')], [{'id': 21, 'error': {
        'code': -32803, 'message': "A variable cannot be renamed here: only a block can, with every choice and jump that names it."}}]),
    # Bad requests: past the end, never opened, unknown, wrongly typed; none ends the server.
    ([at(22, 'definition', 11, 0)], [error(22, -32602)]),
    ([at(23, 'hover', 0, 999)], [{'id': 23, 'result': {'range': span(0, 6, 9)}}]),  # line's end
    ([request(24, 'textDocument/hover', textDocument={'uri': 'file:///other.vell'},
              position={'line': 0, 'character': 0})], [error(24, -32602)]),
    ([request(25, 'textDocument/formatting', textDocument={'uri': URI})], [error(25, -32601)]),
    ([request(26, '$/unknown')], [error(26, -32601)]),
    ([at(27, 'definition', -1, 0)], [error(27, -32602)]),
    ([request(28, 'textDocument/definition', textDocument={'uri': URI}, position='here')],
     [error(28, -32602)]),
    ([note('$/setTrace', value='off'), note('workspace/didChangeConfiguration', settings={})], []),
    ([b'Content-Length: 9\r\n\r\n{"id": 1,'], [{'id': None, 'error': {'code': -32700}}]),
    ([b'Content-Type: text/plain\r\n\r\n'], [{'id': None, 'error': {'code': -32700}}]),
    ([[1, 2]], [{'id': None, 'error': {'code': -32600}}]),
    ([{'jsonrpc': '2.0', 'id': 29}], [error(29, -32600)]),
    ([{'jsonrpc': '2.0', 'id': 30, 'result': None}], []),  # a response: nothing asked it
    ([INITIALIZE], [error(1, -32600)]),
    # Nesting: read up to 256 arrays and objects deep (brackets in strings aside), refused unread
    # beyond, however deep; the server goes on.
    ([framed(b'{"jsonrpc":"2.0","id":40,"method":"$/x","params":%s}' % nest(255)),
      framed(b'{"jsonrpc":"2.0","id":41,"method":"$/x","params":%s}' % nest(256))],
     [error(40, -32601), error(None, -32600)]),
    ([framed(b'{"jsonrpc":"2.0","id":%s,"method":"shutdown"}' % nest(200000)),
      framed(b'{"jsonrpc":"2.0","method":"$/x","params":{"text":%s}}' % nest(200000)),
      request('"\\"' + '[' * 300, '$/x')],
     [error(None, -32600), error(None, -32600), error('"\\"' + '[' * 300, -32601)]),
    # A header without a usable Content-Length costs its body, not the session (the shutdown
    # in a dropped body is not obeyed).
    *[([bad, request(42, '$/x')], [error(None, -32700), error(42, -32601)]) for bad in (
        b'Content-Type: x\r\n\r\n{}',
        b'Content-Length: 1e3\r\n\r\n' + json.dumps(request(43, 'shutdown')).encode(),
        b'Content-Length: x\r\n\r\n{"a": "Content-Length: 9"}\r\n\r\n{}')],
    # Edits: the diagnostics follow the text, Windows line ends included.
    ([note('textDocument/didChange', textDocument={'uri': URI, 'version': 2},
           contentChanges=[{'text': TEXT.replace('\n', '\r\n').replace('市場', '森')}])],
     [diagnostics(2, V001, V223, {'code': 'V223', 'range': span(6, 11, 12)})]),
    ([note('textDocument/didClose', textDocument={'uri': URI})], [diagnostics(None)]),
    ([at(31, 'hover', 0, 0)], [error(31, -32602)]),
    ([request(32, 'shutdown')], [{'id': 32, 'result': None}]),
    ([at(33, 'hover', 0, 0)], [error(33, -32600)]),
]

# Changes by range, in UTF-16 units after a character outside the BMP; completion after a "{"
# that holds no jump yet; the first block renamed; paragraphs, each up to the next; a built-in
# scene.
PIECES = [
    ([INITIALIZE], [INITIALIZED]),
    ([opened('title 序\n{\nscene 森\n😀[%金=1]\n#\n一\n#\n二\n')], [diagnostics(1, {'code': 'V210'}, {'code': 'V204'}, {
        'code': 'V001', 'range': span(3, 0, 2)}, {'code': 'V208', 'range': span(3, 4, 5)})]),
    ([at(2, 'completion', 1, 1)], [{'id': 2, 'result': [
        {'label': '序', 'textEdit': {'range': span(1, 1, 1)}}, {'label': '森'}]}]),
    ([note('textDocument/didChange', textDocument={'uri': URI, 'version': 2},
           contentChanges=[{'range': span(3, 6, 7), 'text': '25'}])],
     [{'params': {'version': 2}}]),
    ([at(3, 'hover', 3, 4)], [{'id': 3, 'result': {'contents': {
        'value': '`金` is set on\n\n- line 4: `😀[%金=25]`\n'}}}]),
    ([at(4, 'references', 3, 5, context={'includeDeclaration': True})],
     [{'id': 4, 'result': [here(3, 4, 5)]}]),
    ([at(5, 'rename', 0, 6, newName='始')], [{'id': 5, 'result': {'changes': {URI: [
        {'range': span(0, 6, 7), 'newText': '始'}]}}}]),
    ([request(6, 'textDocument/documentSymbol', textDocument={'uri': URI})], [{'id': 6, 'result': [
        {'name': '序'}, {'name': '森', 'range': span(2, 0, 1, 7), 'children': [
            {'name': '一', 'range': span(4, 0, 1, 5)}, {'name': '二', 'range': span(6, 0, 1, 7)}]}]}]),
    # A jump to a built-in scene: hovered, it is named; it keeps its name.
    ([note('textDocument/didChange', textDocument={'uri': URI, 'version': 3},
           contentChanges=[{'text': 'title 序\n{!paragraph}\n'}])], [{'params': {'version': 3}}]),
    ([at(8, 'hover', 1, 3)], [{'id': 8, 'result': {'contents': {'value': 'Built-in scene 4: paragraph.'}}}]),
    ([at(9, 'rename', 1, 3, newName='x')], [{'id': 9, 'error': {
        'code': -32803, 'message': "A built-in scene's name cannot be renamed."}}]),
    # Fixes: a '%' where a number was meant; a new block for a jump, before the closing block,
    # for a choice (and none for a name no block could take).
    ([note('textDocument/didChange', textDocument={'uri': URI, 'version': 4}, contentChanges=[
        {'text': 'title 序\n[n++]\n{(甲|乙)}\nselect 丙\nHarbour\nscene 終\n'}])], [{'params': {'version': 4}}]),
    ([request(10, 'textDocument/codeAction', textDocument={'uri': URI}, range=span(1, 0, 0, 5),
              context={'diagnostics': []})], [{'id': 10, 'result': [
        {'title': "Insert '%'", 'isPreferred': True, 'edit': {'changes': {URI: [
            {'range': span(1, 1, 1), 'newText': '%'}]}}},
        {'title': 'Add scene "Harbour"', 'edit': {'changes': {URI: [
            {'range': span(5, 0, 0), 'newText': 'scene Harbour\n\n'}]}}}]}]),
    ([request(7, 'shutdown')], [{'id': 7, 'result': None}]),
]


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

    def receive(self, timeout=5.0):
        """The next message, or None when none comes within `timeout` seconds."""
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
    for sent, expected in steps:
        for message in sent:
            server.send(message)
        for wanted in expected:
            got = server.receive()
            if not matches(wanted, got):
                failures.append('sent %s\n  expected %s\n  got %s' % (sent, wanted, got))
        if not expected:  # silence is the answer: a ping shows nothing else came out
            server.send(request('ping', '$/ping'))
            got = server.receive()
            if not matches(error('ping', -32601), got):
                failures.append('sent %s\n  expected nothing, got %s' % (sent, got))
    status = server.finish(note('exit'))
    if status != 0:
        failures.append('exit after shutdown: status %d' % status)
    return failures


def check_lifecycle(program):
    """Exit statuses, the refusal before initialize, and debouncing of a burst of changes."""
    failures = []
    server = Server(program)
    server.send(at(1, 'hover', 0, 0))
    if not matches(error(1, -32002), server.receive()):
        failures.append('a request before initialize is not refused with -32002')
    if server.finish(note('exit')) != 1:
        failures.append('exit without shutdown does not end with status 1')
    server = Server(program)
    server.send(INITIALIZE)
    server.receive()
    server.send(opened())
    server.receive()
    for version in range(2, 12):
        server.send(note('textDocument/didChange', textDocument={'uri': URI, 'version': version},
                         contentChanges=[{'text': TEXT + 'x' * version}]))
    published = [m['params']['version'] for m in iter(lambda: server.receive(1.0), None)]
    if published != [11]:
        failures.append('a burst of 10 changes published versions %s, not [11]' % published)
    if server.finish() != 1:
        failures.append('input ending without shutdown does not end with status 1')
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
    failures = (run_session(program, EDITING) + run_session(program, PIECES) +
                check_lifecycle(program) + check_flood(program))
    for failure in failures:
        print('FAIL:', failure)
    print('%d failures' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
