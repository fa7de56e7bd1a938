// The coverage command's request and problems, against the language server of the real program
// named by $PLOTWRIGHT.
import { test } from 'node:test';
import * as assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { COVERAGE_REQUEST, CoverageResult, coverageParams, coverageProblems, coverageSummary } from '../../src/coverage';

const program = process.env.PLOTWRIGHT;
const withProgram = { skip: program === undefined ? 'PLOTWRIGHT names no program' : false };

// Sends `messages` to `plotwright lsp` and gives the answer to the request with id `id`.
function answerOf(messages: object[], id: number): Promise<{ result?: unknown; error?: unknown }> {
  const server = spawn(program!, ['lsp']);
  let buffer = Buffer.alloc(0);
  return new Promise((resolve, reject) => {
    server.on('error', reject);
    server.stdout.on('data', (chunk: Buffer) => {
      buffer = Buffer.concat([buffer, chunk]);
      for (;;) {
        const header = buffer.indexOf('\r\n\r\n');
        if (header < 0) return;
        const length = Number(/Content-Length: (\d+)/.exec(buffer.subarray(0, header).toString())![1]);
        if (buffer.length < header + 4 + length) return;
        const message = JSON.parse(buffer.subarray(header + 4, header + 4 + length).toString());
        buffer = buffer.subarray(header + 4 + length);
        if (message.id === id) {
          server.kill();
          resolve(message);
        }
      }
    });
    for (const message of messages) {
      const body = Buffer.from(JSON.stringify({ jsonrpc: '2.0', ...message }));
      server.stdin.write(`Content-Length: ${body.length}\r\n\r\n`);
      server.stdin.write(body);
    }
  });
}

test('a run places the blocks no story reached and the choices none took', withProgram, async () => {
  const uri = 'file:///cave.vell';
  const text = 'title Cave\n{Fork}\nselect Fork\nLeft\n<%gold>=10>Vault\nscene Left\nDark.\nscene Vault\nGold.\n';
  const answer = await answerOf(
    [
      { id: 1, method: 'initialize', params: { processId: null, rootUri: null, capabilities: {} } },
      { method: 'textDocument/didOpen', params: { textDocument: { uri, languageId: 'vell', version: 1, text } } },
      { id: 2, method: COVERAGE_REQUEST, params: coverageParams(uri, 20, 5) },
    ],
    2,
  );
  const result = answer.result as CoverageResult;
  const line = (n: number, end: number) => ({ start: { line: n, character: 0 }, end: { line: n, character: end } });
  assert.deepEqual(coverageProblems(result), [
    { range: line(7, 11), message: 'No story reached the scene block "Vault" (20 stories).' },
    { range: line(4, 16), message: 'No story took the choice "Vault" of "Fork" (20 stories).' },
  ]);
  assert.equal(coverageSummary(result), 'Coverage of 20 stories (seed 5): 3 of 4 blocks reached, 1 of 2 choices taken.');
});
