// Talking to the real `plotwright lsp` ($PLOTWRIGHT) over pipes, as the extension's client does.
import { spawn } from 'node:child_process';

// Sends `messages` (jsonrpc added) to `plotwright lsp` and gives the answer to the request with
// id `id`.
export function answerOf(
  program: string,
  messages: object[],
  id: number,
): Promise<{ result?: unknown; error?: unknown }> {
  const server = spawn(program, ['lsp']);
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

// The messages that open `text` as `uri` and then ask `method` with `params` as request 2.
export function askAbout(uri: string, text: string, method: string, params: object): object[] {
  return [
    { id: 1, method: 'initialize', params: { processId: null, rootUri: null, capabilities: {} } },
    { method: 'textDocument/didOpen', params: { textDocument: { uri, languageId: 'vell', version: 1, text } } },
    { id: 2, method, params },
  ];
}
