// The Plotwright extension: Vell scenario files get the Plotwright language server and a view
// of the stories they write.
import * as vscode from 'vscode';
import type { LanguageClient } from 'vscode-languageclient/node';
import { createClient } from './client';
import { StoryView } from './storyView';

let client: LanguageClient | undefined;

function program(): string {
  const configured = vscode.workspace.getConfiguration('plotwright').get<string>('path');
  return configured?.trim() || 'plotwright';
}

async function startClient(output: vscode.OutputChannel): Promise<void> {
  let started: LanguageClient | undefined;
  try {
    started = createClient(program(), output);
    client = started;
    await started.start();
  } catch (error) {
    if (client === started) client = undefined;
    const reason = error instanceof Error ? error.message : String(error);
    output.appendLine(`The language server "${program()} lsp" did not start: ${reason}`);
    const choice = await vscode.window.showWarningMessage(
      `The Plotwright language server ("${program()} lsp") did not start. Highlighting and stories still work.`,
      'Set plotwright.path',
    );
    if (choice !== undefined) {
      await vscode.commands.executeCommand('workbench.action.openSettings', 'plotwright.path');
    }
  }
}

async function stopClient(): Promise<void> {
  const running = client;
  client = undefined;
  if (running !== undefined && running.needsStop()) await running.stop();
}

export async function activate(context: vscode.ExtensionContext): Promise<void> {
  const output = vscode.window.createOutputChannel('Plotwright');
  const stories = new StoryView(program);
  context.subscriptions.push(
    output,
    stories,
    vscode.commands.registerCommand('plotwright.newStory', () => stories.newStory()),
    vscode.workspace.onDidChangeConfiguration(async (event) => {
      if (event.affectsConfiguration('plotwright.path')) {
        await stopClient();
        await startClient(output);
      }
    }),
  );
  // The server is not awaited: highlighting and stories do not need it.
  void startClient(output);
}

export function deactivate(): Promise<void> {
  return stopClient();
}
