// The graph view: the scene graph of the active scenario beside the editor, from the language
// server, redrawn when the text settles. A click on a block moves the editor to its line; after
// a coverage run the blocks are shaded by the stories that reached them, until the next edit.
import { randomBytes } from 'node:crypto';
import * as path from 'node:path';
import * as vscode from 'vscode';
import type { LanguageClient } from 'vscode-languageclient/node';
import { CoverageAsk, GRAPH_REQUEST, GraphResult, ToPage, fromPage, graphNote, graphParams } from './graph';
import { graphPage } from './graphHtml';
import { revealLine } from './reveal';

const VIEW_TYPE = 'plotwright.graph';
// How long the text must rest after a change before the graph is drawn again.
const SETTLE_MS = 400;

export class GraphView implements vscode.Disposable {
  private panel: vscode.WebviewPanel | undefined;
  private scenario: vscode.Uri | undefined;
  // The last coverage run of each scenario, by URI, until its text changes.
  private readonly coverage = new Map<string, CoverageAsk>();
  private settling: NodeJS.Timeout | undefined;
  // Requests are numbered so that a slow answer never replaces a later one.
  private requests = 0;
  private readonly subscriptions: vscode.Disposable[];

  constructor(
    private readonly extensionUri: vscode.Uri,
    private readonly client: () => LanguageClient | undefined,
    private readonly runCoverage: (scenario: vscode.Uri) => void,
  ) {
    this.subscriptions = [
      vscode.window.onDidChangeActiveTextEditor((editor) => {
        if (this.panel === undefined || editor?.document.languageId !== 'vell') return;
        this.scenario = editor.document.uri;
        void this.refresh();
      }),
      vscode.workspace.onDidChangeTextDocument((event) => {
        if (event.contentChanges.length === 0) return;
        this.coverage.delete(event.document.uri.toString());
        if (this.panel === undefined || event.document.uri.toString() !== this.scenario?.toString()) return;
        this.post({ type: 'stale' });
        clearTimeout(this.settling);
        this.settling = setTimeout(() => void this.refresh(), SETTLE_MS);
      }),
    ];
  }

  // Opens the view on the active scenario.
  show(): void {
    const editor = vscode.window.activeTextEditor;
    if (editor?.document.languageId === 'vell') this.scenario = editor.document.uri;
    if (this.scenario === undefined) {
      void vscode.window.showInformationMessage('Open a Vell scenario (.vell) to see its graph.');
      return;
    }
    if (this.panel === undefined) {
      this.panel = this.createPanel(); // draws when its page says it is ready
    } else {
      this.panel.reveal(vscode.ViewColumn.Beside, true);
      void this.refresh();
    }
  }

  // A coverage run of `scenario` finished: its shading is drawn when the view shows it.
  coverageRan(scenario: vscode.Uri, ask: CoverageAsk): void {
    this.coverage.set(scenario.toString(), ask);
    if (this.panel !== undefined && scenario.toString() === this.scenario?.toString()) void this.refresh();
  }

  dispose(): void {
    clearTimeout(this.settling);
    this.panel?.dispose();
    for (const subscription of this.subscriptions) subscription.dispose();
  }

  private createPanel(): vscode.WebviewPanel {
    const viz = vscode.Uri.joinPath(this.extensionUri, 'node_modules', '@viz-js', 'viz', 'dist');
    const media = vscode.Uri.joinPath(this.extensionUri, 'media');
    const panel = vscode.window.createWebviewPanel(
      VIEW_TYPE,
      'Scene graph',
      { viewColumn: vscode.ViewColumn.Beside, preserveFocus: true },
      { enableScripts: true, localResourceRoots: [viz, media], retainContextWhenHidden: true },
    );
    panel.webview.html = graphPage({
      nonce: randomBytes(16).toString('hex'),
      vizScript: panel.webview.asWebviewUri(vscode.Uri.joinPath(viz, 'viz-global.js')).toString(),
      viewScript: panel.webview.asWebviewUri(vscode.Uri.joinPath(media, 'graphView.js')).toString(),
    });
    panel.webview.onDidReceiveMessage((message: unknown) => {
      const asked = fromPage(message);
      if (asked?.command === 'ready') void this.refresh();
      if (asked?.command === 'coverage' && this.scenario) this.runCoverage(this.scenario);
      if (asked?.command === 'reveal' && this.scenario) void revealLine(this.scenario, asked.line);
    });
    panel.onDidDispose(() => {
      clearTimeout(this.settling);
      this.panel = undefined;
    });
    return panel;
  }

  private post(message: ToPage): void {
    void this.panel?.webview.postMessage(message);
  }

  private async refresh(): Promise<void> {
    const scenario = this.scenario;
    if (this.panel === undefined || scenario === undefined) return;
    const request = ++this.requests;
    const running = this.client();
    if (running === undefined || !running.isRunning()) {
      this.post({ type: 'note', note: 'The Plotwright language server is not running.' });
      return;
    }
    const coverage = this.coverage.get(scenario.toString());
    let result: GraphResult;
    try {
      const uri = running.code2ProtocolConverter.asUri(scenario);
      result = await running.sendRequest<GraphResult>(GRAPH_REQUEST, graphParams(uri, coverage));
    } catch (error) {
      if (request !== this.requests) return;
      const reason = error instanceof Error ? error.message : String(error);
      this.post({ type: 'note', note: `No graph: ${reason}` });
      return;
    }
    if (request !== this.requests) return;
    const title = path.posix.basename(scenario.path);
    this.panel.title = `Graph: ${title}`;
    this.post({ type: 'graph', title, dot: result.dot, note: graphNote(result, coverage) });
  }
}
