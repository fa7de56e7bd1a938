// The Plotwright extension: Vell scenario files get the Plotwright language server, a view of
// the stories they write (from any block), their scene graph, and the coverage of many stories
// as problems of their own and as the graph's shading.
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
import { GraphView } from './graphView';
import { startingBlocks } from './lenses';
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

// Tells the configured number of stories of `scenario` (the graph view's), else of the active
// scenario, through the language server; what they never reach replaces the last run's coverage
// problems and shades the graph.
async function runCoverage(
  problems: vscode.DiagnosticCollection,
  graph: GraphView,
  scenario?: vscode.Uri,
): Promise<void> {
  const document =
    scenario instanceof vscode.Uri
      ? await vscode.workspace.openTextDocument(scenario)
      : vscode.window.activeTextEditor?.document;
  if (document === undefined || document.languageId !== 'vell') {
    void vscode.window.showWarningMessage('Open a Vell scenario to run its coverage.');
    return;
  }
  const running = client;
  if (running === undefined || !running.isRunning()) {
    void vscode.window.showWarningMessage('The Plotwright language server is not running.');
    return;
  }
  const count = vscode.workspace.getConfiguration('plotwright').get<number>('coverage.stories');
  const ask = { count: count ?? DEFAULT_COVERAGE_STORIES, seed: newSeed() };
  const params = coverageParams(running.code2ProtocolConverter.asUri(document.uri), ask.count, ask.seed);
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
  graph.coverageRan(document.uri, ask);
  void vscode.window.showInformationMessage(coverageSummary(result));
}

// "Play from this block" above each block a story can start at, from the server's outline.
class PlayFromLenses implements vscode.CodeLensProvider {
  async provideCodeLenses(document: vscode.TextDocument): Promise<vscode.CodeLens[]> {
    const symbols = await vscode.commands.executeCommand<vscode.DocumentSymbol[] | undefined>(
      'vscode.executeDocumentSymbolProvider',
      document.uri,
    );
    const outline = (symbols ?? [])
      .filter((symbol) => 'selectionRange' in symbol)
      .map((symbol) => ({ name: symbol.name, detail: symbol.detail, line: symbol.selectionRange.start.line }));
    return startingBlocks(outline).map(
      (block) =>
        new vscode.CodeLens(new vscode.Range(block.line, 0, block.line, 0), {
          title: 'Play from this block',
          command: 'plotwright.playFrom',
          arguments: [document.uri, block.name],
        }),
    );
  }
}

async function stopClient(): Promise<void> {
  const running = client;
  client = undefined;
  if (running !== undefined && running.needsStop()) await running.stop();
}

export async function activate(context: vscode.ExtensionContext): Promise<void> {
  const output = vscode.window.createOutputChannel('Plotwright');
  const stories = new StoryView(program, () => client);
  const coverage = vscode.languages.createDiagnosticCollection('plotwright coverage');
  const graph = new GraphView(
    context.extensionUri,
    () => client,
    (scenario) => void vscode.commands.executeCommand('plotwright.runCoverage', scenario),
  );
  context.subscriptions.push(
    output,
    stories,
    coverage,
    graph,
    vscode.commands.registerCommand('plotwright.newStory', () => stories.newStory()),
    vscode.commands.registerCommand('plotwright.runCoverage', (scenario?: vscode.Uri) =>
      runCoverage(coverage, graph, scenario),
    ),
    vscode.commands.registerCommand('plotwright.showGraph', () => graph.show()),
    vscode.commands.registerCommand('plotwright.playFrom', (scenario: vscode.Uri, block: string) =>
      stories.playFrom(scenario, block),
    ),
    vscode.languages.registerCodeLensProvider({ language: 'vell' }, new PlayFromLenses()),
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
