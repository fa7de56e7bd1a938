// Talking to the real `plotwright lsp` ($PLOTWRIGHT) over pipes, as the extension's client does.
import { spawn } from 'node:child_process';

// Opens `text` as `uri` in a fresh `plotwright lsp`, asks `method` with `params` and gives the
// answer's result (its error, should it fail, is then the cause of the assertion that fails).
export function request<T>(program: string, uri: string, text: string, method: string, params: object): Promise<T> {
  const messages = [
    { id: 1, method: 'initialize', params: { processId: null, rootUri: null, capabilities: {} } },
    { method: 'textDocument/didOpen', params: { textDocument: { uri, languageId: 'vell', version: 1, text } } },
    { id: 2, method, params },
  ];
  const server = spawn(program, ['lsp']);
  let buffer = Buffer.alloc(0);
  return new Promise((resolve, reject) => {
    server.on('error', reject);
    server.on('close', () => reject(new Error('plotwright lsp ended without answering')));
    server.stdout.on('data', (chunk: Buffer) => {
      buffer = Buffer.concat([buffer, chunk]);
      for (;;) {
        const header = buffer.indexOf('\r\n\r\n');
        if (header < 0) return;
        const length = Number(/Content-Length: (\d+)/.exec(buffer.subarray(0, header).toString())![1]);
        if (buffer.length < header + 4 + length) return;
        const message = JSON.parse(buffer.subarray(header + 4, header + 4 + length).toString());
        buffer = buffer.subarray(header + 4 + length);
        if (message.id === 2) {
          server.kill();
          resolve(message.result);
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
