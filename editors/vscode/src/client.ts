// The client side of the Plotwright language server: `plotwright lsp`, spoken to over stdio.
import * as vscode from 'vscode';
import {
  CloseAction,
  ErrorAction,
  LanguageClient,
  LanguageClientOptions,
  ServerOptions,
  State,
  TransportKind,
} from 'vscode-languageclient/node';

// A server that has run and then stops is started again, at most this often in RESTART_WINDOW.
const MAX_RESTARTS = 4;
const RESTART_WINDOW_MS = 3 * 60 * 1000;

export function createClient(program: string, output: vscode.OutputChannel): LanguageClient {
  const serverOptions: ServerOptions = {
    command: program,
    args: ['lsp'],
    transport: TransportKind.stdio,
  };
  let ran = false;
  const restarts: number[] = [];
  const clientOptions: LanguageClientOptions = {
    documentSelector: [
      { scheme: 'file', language: 'vell' },
      { scheme: 'untitled', language: 'vell' },
    ],
    outputChannel: output,
    errorHandler: {
      error: () => ({ action: ErrorAction.Continue }),
      closed: () => {
        // A server that never came up is reported once by the caller, not restarted.
        if (!ran) return { action: CloseAction.DoNotRestart, handled: true };
        const now = Date.now();
        while (restarts.length > 0 && now - restarts[0] > RESTART_WINDOW_MS) restarts.shift();
        if (restarts.length >= MAX_RESTARTS) {
          return {
            action: CloseAction.DoNotRestart,
            message: `The Plotwright language server stopped ${MAX_RESTARTS + 1} times in three minutes and is not started again.`,
          };
        }
        restarts.push(now);
        return { action: CloseAction.Restart, handled: true };
      },
    },
  };
  const client = new LanguageClient('plotwright', 'Plotwright', serverOptions, clientOptions);
  client.onDidChangeState((event) => {
    if (event.newState === State.Running) ran = true;
  });
  return client;
}
