// The story view: a read-only page beside the editor showing a story of the scenario, with its
// seed. One view serves every scenario; F5 or its button writes another story, "Play from this
// block" one that starts at a block, and saving the scenario writes the same story again.
import * as path from 'node:path';
import { randomBytes } from 'node:crypto';
import * as vscode from 'vscode';
import type { LanguageClient } from 'vscode-languageclient/node';
import { revealLine } from './reveal';
import { STORY_REQUEST, StoryOutcome, StoryResult, newSeed, runStory, storyParams } from './story';
import { storyPage } from './storyHtml';

const VIEW_TYPE = 'plotwright.story';
// True while the story view has the focus: F5 there writes another story.
const FOCUS_CONTEXT = 'plotwright.storyViewFocused';

export class StoryView implements vscode.Disposable {
  private panel: vscode.WebviewPanel | undefined;
  private scenario: vscode.Uri | undefined;
  // The story on show: its seed, and the block it started at (none: the beginning).
  private seed = 0;
  private start: string | undefined;
  // Runs are numbered so that a slow one never replaces the story of a later one.
  private runs = 0;
  private readonly saves: vscode.Disposable;

  constructor(
    private readonly program: () => string,
    private readonly client: () => LanguageClient | undefined,
  ) {
    // The story follows the saved text: the same seed and start, told again.
    this.saves = vscode.workspace.onDidSaveTextDocument((document) => {
      if (this.panel === undefined || document.uri.toString() !== this.scenario?.toString()) return;
      void this.show(document.uri, this.seed);
    });
  }

  // Writes a new story of the active scenario, or of the one the view shows when the view has
  // the focus; from the beginning unless `keepStart` (the view's own button).
  async newStory(keepStart = false): Promise<void> {
    const document = await this.scenarioToRun();
    if (document === undefined) return;
    if (!keepStart || document.uri.toString() !== this.scenario?.toString()) this.start = undefined;
    this.scenario = document.uri;
    await this.show(document.uri, newSeed());
  }

  // Writes a story of `scenario` that starts at the block named `block`.
  async playFrom(scenario: vscode.Uri, block: string): Promise<void> {
    const document = await this.savedScenario(await vscode.workspace.openTextDocument(scenario));
    if (document === undefined) return;
    this.scenario = document.uri;
    this.start = block;
    await this.show(document.uri, newSeed());
  }

  dispose(): void {
    this.saves.dispose();
    this.panel?.dispose();
  }

  private async scenarioToRun(): Promise<vscode.TextDocument | undefined> {
    const editor = vscode.window.activeTextEditor;
    const viewFocused = this.panel?.active === true;
    let document: vscode.TextDocument | undefined;
    if (!viewFocused && editor?.document.languageId === 'vell') {
      document = editor.document;
    } else if (this.scenario !== undefined) {
      document = await vscode.workspace.openTextDocument(this.scenario);
    } else if (editor?.document.languageId === 'vell') {
      document = editor.document;
    }
    if (document === undefined) {
      void vscode.window.showInformationMessage('Open a Vell scenario (.vell) to write a story from it.');
      return undefined;
    }
    return this.savedScenario(document);
  }

  private async savedScenario(document: vscode.TextDocument): Promise<vscode.TextDocument | undefined> {
    if (document.isUntitled || document.uri.scheme !== 'file') {
      void vscode.window.showInformationMessage('Save the scenario to a file to write a story from it.');
      return undefined;
    }
    // plotwright reads the file, so the story follows what the editor shows.
    if (document.isDirty && !(await document.save())) return undefined;
    return document;
  }

  private async show(scenario: vscode.Uri, seed: number): Promise<void> {
    const run = ++this.runs;
    this.seed = seed;
    const start = this.start;
    const fileName = path.basename(scenario.fsPath);
    const outcome = await vscode.window.withProgress(
      { location: vscode.ProgressLocation.Window, title: `Writing a story from ${fileName}` },
      () => this.tell(scenario, seed, start),
    );
    if (run !== this.runs) return;
    const panel = this.ensurePanel();
    panel.title = `Story: ${fileName} (seed ${seed})`;
    panel.webview.html = storyPage(outcome, fileName, randomBytes(16).toString('hex'), start);
    if (!panel.visible) panel.reveal(vscode.ViewColumn.Beside, true);
  }

  // The language server tells the story with its lines' sources; the program, without them,
  // when the server is not running or refuses (its messages are the ones to show then).
  private async tell(scenario: vscode.Uri, seed: number, start?: string): Promise<StoryOutcome> {
    const running = this.client();
    if (running?.isRunning()) {
      try {
        const uri = running.code2ProtocolConverter.asUri(scenario);
        const told = await running.sendRequest<StoryResult>(STORY_REQUEST, storyParams(uri, seed, start));
        return { kind: 'story', seed, text: told.text, sources: told.lines };
      } catch {
        // the program says why
      }
    }
    return runStory(this.program(), scenario.fsPath, seed, start);
  }

  private ensurePanel(): vscode.WebviewPanel {
    if (this.panel !== undefined) return this.panel;
    const panel = vscode.window.createWebviewPanel(
      VIEW_TYPE,
      'Story',
      { viewColumn: vscode.ViewColumn.Beside, preserveFocus: true },
      { enableScripts: true, localResourceRoots: [] },
    );
    panel.onDidChangeViewState((event) => {
      void vscode.commands.executeCommand('setContext', FOCUS_CONTEXT, event.webviewPanel.active);
    });
    panel.webview.onDidReceiveMessage((message: { command?: string; line?: unknown }) => {
      const line = message.line;
      if (message.command === 'reveal' && this.scenario && Number.isSafeInteger(line) && (line as number) >= 0) {
        void revealLine(this.scenario, line as number);
      }
      if (message.command === 'another') void this.newStory(true);
      if (message.command === 'restart') void this.newStory();
    });
    panel.onDidDispose(() => {
      this.panel = undefined;
      void vscode.commands.executeCommand('setContext', FOCUS_CONTEXT, false);
    });
    this.panel = panel;
    return panel;
  }
}
