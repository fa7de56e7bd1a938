// The Plotwright extension: Vell scenario files get the Plotwright language server, a view of
// the stories they write, and the coverage of many stories as problems of their own.
import * as vscode from 'vscode';
import type { LanguageClient } from 'vscode-languageclient/node';
import { createClient } from './client';
import {
  COVERAGE_REQUEST,
  CoverageResult,
  DEFAULT_COVERAGE_STORIES,
  coverageParams,
  coverageProblems,
  coverageSummary,
} from './coverage';
import { newSeed } from './story';
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

// Tells the configured number of stories of the active scenario through the language server;
// what they never reach replaces the last run's coverage problems.
async function runCoverage(problems: vscode.DiagnosticCollection): Promise<void> {
  const editor = vscode.window.activeTextEditor;
  if (editor === undefined || editor.document.languageId !== 'vell') {
    void vscode.window.showWarningMessage('Open a Vell scenario to run its coverage.');
    return;
  }
  const running = client;
  if (running === undefined || !running.isRunning()) {
    void vscode.window.showWarningMessage('The Plotwright language server is not running.');
    return;
  }
  const document = editor.document;
  const count = vscode.workspace.getConfiguration('plotwright').get<number>('coverage.stories');
  const params = coverageParams(
    running.code2ProtocolConverter.asUri(document.uri),
    count ?? DEFAULT_COVERAGE_STORIES,
    newSeed(),
  );
  let result: CoverageResult;
  try {
    result = await vscode.window.withProgress(
      { location: vscode.ProgressLocation.Notification, title: 'Plotwright: running coverage' },
      () => running.sendRequest<CoverageResult>(COVERAGE_REQUEST, params),
    );
  } catch (error) {
    const reason = error instanceof Error ? error.message : String(error);
    void vscode.window.showErrorMessage(`Plotwright coverage: ${reason}`);
    return;
  }
  problems.clear();
  problems.set(
    document.uri,
    coverageProblems(result).map((problem) => {
      const { start, end } = problem.range;
      const range = new vscode.Range(start.line, start.character, end.line, end.character);
      const diagnostic = new vscode.Diagnostic(range, problem.message, vscode.DiagnosticSeverity.Information);
      diagnostic.source = 'plotwright coverage';
      return diagnostic;
    }),
  );
  void vscode.window.showInformationMessage(coverageSummary(result));
}

async function stopClient(): Promise<void> {
  const running = client;
  client = undefined;
  if (running !== undefined && running.needsStop()) await running.stop();
}

export async function activate(context: vscode.ExtensionContext): Promise<void> {
  const output = vscode.window.createOutputChannel('Plotwright');
  const stories = new StoryView(program);
  const coverage = vscode.languages.createDiagnosticCollection('plotwright coverage');
  context.subscriptions.push(
    output,
    stories,
    coverage,
    vscode.commands.registerCommand('plotwright.newStory', () => stories.newStory()),
    vscode.commands.registerCommand('plotwright.runCoverage', () => runCoverage(coverage)),
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
