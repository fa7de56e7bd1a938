// The playground page: a scenario in an editor, its diagnostics as you type, its story beside
// it, its scene graph, the problems that a thousand stories played in a worker find, the
// examples, statistics kept per scenario in this browser, and Share links. Below 700 px the
// panes take turns, chosen by tabs.
import { defaultKeymap, history, historyKeymap } from '@codemirror/commands';
import { type Diagnostic as EditorDiagnostic, lintGutter, setDiagnostics } from '@codemirror/lint';
import { EditorSelection, EditorState, type Extension } from '@codemirror/state';
import {
  EditorView,
  drawSelection,
  highlightActiveLine,
  highlightActiveLineGutter,
  highlightSpecialChars,
  keymap,
  lineNumbers,
} from '@codemirror/view';
import lighthouse from '../../examples/the-lighthouse-keeper.vell';
import yoruNoEki from '../../examples/yoru-no-eki.vell';
import workerSource from 'coverage-worker-source';
import { type Diagnostic, Scenario, ScenarioError, type TracedStory } from '../src/plotwright.js';
import { type CoverageProblem, coverageProblems } from './coverage-problems.js';
import type { CoverageAnswer, CoverageRequest } from './coverage-worker.js';
import { GraphPanel } from './graph-panel.js';
import { readFragment, type Shared, writeFragment } from './fragment.js';
import { vellHighlighting } from './highlight.js';
import { offsetOf, rangeOf } from './positions.js';
import { blockAt, commandLine, storyLines, traceStep } from './studio.js';

const EXAMPLES: ReadonlyArray<{ name: string; text: string }> = [
  { name: 'the-lighthouse-keeper.vell', text: lighthouse },
  { name: 'yoru-no-eki.vell', text: yoruNoEki },
];
// The name under which a scenario typed or opened from a link keeps its statistics.
const UNTITLED = 'untitled.vell';
const SESSION_KEY = 'plotwright.session';
const STATISTICS_KEY = 'plotwright.statistics.';
const CHECK_DELAY_MS = 150;
const DAMAGED_LINK = 'This link is damaged: its scenario cannot be read.';
// At most this many warnings are listed and marked (every error is): a generated scenario can
// have a hundred thousand, more than a person reads or the page can show quickly.
const WARNINGS_SHOWN = 1000;
// The coverage runs after each edit: how many stories by default and at most, and the seed, the
// same each time so that the problems they find change only with the text.
const DEFAULT_RUNS = 1000;
const MAX_RUNS = 100000;
const COVERAGE_SEED = 1;
const RUNS_KEY = 'plotwright.runs';

function element<T extends HTMLElement>(id: string): T {
  const found = document.getElementById(id);
  if (found === null) throw new Error(`the page has no #${id}`);
  return found as T;
}

const ui = {
  editor: element<HTMLDivElement>('editor'),
  diagnostics: element<HTMLUListElement>('diagnostics'),
  story: element<HTMLPreElement>('story'),
  storyPane: element<HTMLElement>('story-pane'),
  seed: element<HTMLInputElement>('seed'),
  regenerate: element<HTMLButtonElement>('regenerate'),
  share: element<HTMLButtonElement>('share'),
  shareLink: element<HTMLInputElement>('share-link'),
  examples: element<HTMLSelectElement>('examples'),
  clearStatistics: element<HTMLButtonElement>('clear-statistics'),
  statisticsNote: element<HTMLSpanElement>('statistics-note'),
  graph: element<HTMLDivElement>('graph'),
  graphNote: element<HTMLParagraphElement>('graph-note'),
  runs: element<HTMLInputElement>('runs'),
  coverageNote: element<HTMLSpanElement>('coverage-note'),
  problemCount: element<HTMLSpanElement>('problem-count'),
  tabs: element<HTMLElement>('tabs'),
  start: element<HTMLInputElement>('start'),
  playHere: element<HTMLButtonElement>('play-here'),
  noStats: element<HTMLInputElement>('no-stats'),
  command: element<HTMLElement>('command'),
  copyCommand: element<HTMLButtonElement>('copy-command'),
  commandNote: element<HTMLSpanElement>('command-note'),
  trace: element<HTMLOListElement>('trace'),
};

function randomSeed(): number {
  return crypto.getRandomValues(new Uint32Array(1))[0];
}

function stored(key: string): string {
  try {
    return localStorage.getItem(key) ?? '';
  } catch {
    return '';
  }
}

function store(key: string, value: string | null): void {
  try {
    if (value === null) localStorage.removeItem(key);
    else localStorage.setItem(key, value);
  } catch {
    // Storage full or forbidden: the page still works, it only forgets.
  }
}

// The run count of a statistics file: the second number of its first record.
function runsIn(statistics: string): number {
  const match = /^\s*\d+\s+(\d+)/.exec(statistics);
  return match ? Number(match[1]) : 0;
}

class Playground {
  view!: EditorView;
  private name = UNTITLED;
  // The compile of the editor's text under this name (with that name's statistics), shared by
  // every caller until the text or the name changes.
  private compiled: { name: string; text: string; scenario: Promise<Scenario> } | undefined;
  private diagnosed: Scenario | undefined; // the scenario whose diagnostics are shown
  private shown: { seed: number; statistics: string } | undefined;
  private checkTimer: ReturnType<typeof setTimeout> | undefined;
  private graph!: GraphPanel;
  private worker: Worker | undefined; // the coverage batch under way
  private checkerProblems: readonly Diagnostic[] = [];
  private coverage: CoverageProblem[] = [];
  private coverageWaiters: Array<() => void> = [];

  async start(): Promise<void> {
    let highlighting: Extension = [];
    try {
      highlighting = await vellHighlighting();
    } catch (error) {
      console.warn('Vell highlighting is off:', error);
    }
    this.view = new EditorView({
      parent: ui.editor,
      state: EditorState.create({ doc: '', extensions: this.extensions(highlighting) }),
    });
    this.graph = new GraphPanel(ui.graph, ui.graphNote, (line) => this.goToLine(line, 1));
    this.wireControls();
    this.wireTabs();
    const opened = await this.openFragment();
    if (opened !== 'opened') await this.restoreSession();
    if (opened === 'damaged') this.showFailure(DAMAGED_LINK);
    document.body.dataset.ready = 'true';
  }

  private extensions(highlighting: Extension): Extension {
    return [
      // Lines end at LF alone, as the engine reads them: a CR stays in its line, visibly.
      EditorState.lineSeparator.of('\n'),
      lineNumbers(),
      highlightActiveLineGutter(),
      highlightSpecialChars(),
      history(),
      drawSelection(),
      highlightActiveLine(),
      lintGutter(),
      highlighting,
      keymap.of([...defaultKeymap, ...historyKeymap]),
      EditorView.lineWrapping,
      EditorView.updateListener.of((update) => {
        if (update.docChanged) this.scheduleCheck();
        // A problems list that grows takes room from the editor: the line being edited stays.
        if (update.geometryChanged && update.view.hasFocus) {
          update.view.dispatch({ effects: EditorView.scrollIntoView(update.state.selection.main.head) });
        }
      }),
    ];
  }

  private wireControls(): void {
    for (const example of EXAMPLES) ui.examples.add(new Option(example.name, example.name));
    // Shown for a scenario opened from a link; not a choice of its own.
    const untitled = new Option('(your scenario)', UNTITLED);
    untitled.disabled = true;
    ui.examples.add(untitled);
    ui.examples.addEventListener('change', () => {
      const example = EXAMPLES.find((e) => e.name === ui.examples.value);
      if (example) void this.open(example.name, example.text, randomSeed());
    });
    ui.regenerate.addEventListener('click', () => void this.regenerate());
    ui.seed.addEventListener('change', () => void this.tellFromSeedField());
    ui.share.addEventListener('click', () => void this.share());
    ui.clearStatistics.addEventListener('click', () => void this.clearStatistics());
    ui.playHere.addEventListener('click', () => void this.playFromCursor());
    ui.start.addEventListener('change', () => void this.tell(this.seedShown()));
    ui.noStats.addEventListener('change', () => void this.tell(this.seedShown()));
    ui.copyCommand.addEventListener('click', () => void this.copyCommand());
    window.addEventListener('keydown', (event) => {
      const enter = event.key === 'Enter' && (event.ctrlKey || event.metaKey);
      if (event.key === 'F5' || enter) {
        event.preventDefault();
        void this.regenerate();
      }
    });
    window.addEventListener('hashchange', async () => {
      if ((await this.openFragment()) === 'damaged') {
        this.showFailure(DAMAGED_LINK);
      }
    });
  }

  // ------------------------------------------------------------------------------------------
  // Scenarios

  private async open(name: string, text: string, seed: number, statistics?: string): Promise<void> {
    this.name = name;
    ui.examples.value = name;
    this.view.dispatch({ changes: { from: 0, to: this.view.state.doc.length, insert: text } });
    await this.check();
    if (statistics === undefined) await this.tell(seed);
    else await this.tellShared(seed, statistics);
  }

  private async openFragment(): Promise<'opened' | 'none' | 'damaged'> {
    let shared: Shared | null;
    try {
      shared = await readFragment(location.hash);
    } catch {
      return 'damaged';
    }
    if (shared === null) return 'none';
    await this.open(UNTITLED, shared.text, shared.seed ?? randomSeed(), shared.statistics);
    return 'opened';
  }

  private async restoreSession(): Promise<void> {
    let session: { name?: unknown; text?: unknown } = {};
    try {
      session = JSON.parse(stored(SESSION_KEY) || '{}');
    } catch {
      // A damaged session starts afresh.
    }
    if (typeof session.name === 'string' && typeof session.text === 'string') {
      await this.open(session.name, session.text, randomSeed());
    } else {
      await this.open(EXAMPLES[0].name, EXAMPLES[0].text, randomSeed());
    }
  }

  private scheduleCheck(): void {
    clearTimeout(this.checkTimer);
    this.checkTimer = setTimeout(() => void this.check(), CHECK_DELAY_MS);
    ui.storyPane.classList.add('stale');
    this.graph.markStale();
    this.cancelCoverage();
  }

  // The compiled scenario of the editor's text, with this scenario's stored statistics.
  private current(): Promise<Scenario> {
    const text = this.view.state.doc.toString();
    const name = this.name;
    if (this.compiled?.text !== text || this.compiled.name !== name) {
      const previous = this.compiled?.scenario;
      const scenario = Scenario.compile(text, { statistics: stored(STATISTICS_KEY + name) });
      this.compiled = { name, text, scenario };
      // Whoever awaited the previous one has used it by the time this runs.
      previous?.then((old) => old.dispose(), () => {});
      store(SESSION_KEY, JSON.stringify({ name, text }));
    }
    return this.compiled.scenario;
  }

  private async check(): Promise<void> {
    clearTimeout(this.checkTimer);
    let scenario: Scenario;
    try {
      scenario = await this.current();
    } catch (error) {
      this.showDiagnostics([]);
      this.showFailure(error instanceof Error ? error.message : String(error));
      return;
    }
    if (scenario === this.diagnosed) return;
    this.diagnosed = scenario;
    this.coverage = [];
    this.showDiagnostics(scenario.diagnostics);
    await this.graph.show(scenario.graph({ title: this.name, lines: true }));
    if (this.diagnosed === scenario) this.startCoverage(scenario);
  }

  // ------------------------------------------------------------------------------------------
  // Stories

  private async regenerate(): Promise<void> {
    await this.tell(randomSeed());
  }

  private async tellFromSeedField(): Promise<void> {
    const text = ui.seed.value.trim();
    const seed = Number(text);
    if (!/^[0-9]{1,10}$/.test(text) || seed > 4294967295) {
      ui.seed.setCustomValidity('A seed is a number from 0 to 4294967295');
      ui.seed.reportValidity();
      return;
    }
    ui.seed.setCustomValidity('');
    await this.tell(seed);
  }

  // A story with this browser's statistics, which count it, or with none ("No statistics"),
  // from the block "Start at" names.
  private async tell(seed: number): Promise<void> {
    await this.check();
    const counted = !ui.noStats.checked;
    ui.seed.value = String(seed);
    let scratch: Scenario | undefined;
    try {
      const scenario = counted
        ? await this.current()
        : (scratch = await Scenario.compile(this.view.state.doc.toString()));
      const before = scenario.statistics;
      const start = ui.start.value;
      this.showStory(scenario.storyWithSources({ seed, start }), seed, before, start);
      if (counted) store(STATISTICS_KEY + this.name, scenario.statistics ?? '');
    } catch (error) {
      this.showFailure(error instanceof Error ? error.message : String(error));
    } finally {
      scratch?.dispose();
    }
    this.showStatisticsNote();
  }

  // The story a link shows: told from the statistics it carries, counted nowhere.
  private async tellShared(seed: number, statistics: string): Promise<void> {
    ui.seed.value = String(seed);
    ui.start.value = '';
    let scenario: Scenario | undefined;
    try {
      scenario = await Scenario.compile(this.view.state.doc.toString(), { statistics });
      this.showStory(scenario.storyWithSources({ seed }), seed, statistics, '');
    } catch (error) {
      this.showFailure(error instanceof Error ? error.message : String(error));
    } finally {
      scenario?.dispose();
    }
    this.showStatisticsNote();
  }

  private seedShown(): number {
    return this.shown?.seed ?? randomSeed();
  }

  // The story, its path, and the command line that tells it: `statistics` is what the story
  // started from, undefined when it kept none.
  private showStory(story: TracedStory, seed: number, statistics: string | undefined, start: string): void {
    this.shown = { seed, statistics: statistics ?? '' };
    ui.story.replaceChildren(...storyLines(story.lines, (line) => this.showSource(line)));
    ui.trace.replaceChildren(
      ...story.trace.map((event) => Object.assign(document.createElement('li'), { textContent: traceStep(event) })),
    );
    ui.command.textContent = commandLine(seed, start, statistics !== undefined, this.name);
    const runs = runsIn(statistics ?? '');
    ui.commandNote.textContent =
      statistics === undefined
        ? 'no statistics weigh on it'
        : runs > 0
          ? `the ${runs} counted ${runs === 1 ? 'run weighs' : 'runs weigh'} on it: its .vus must hold them (Share carries them)`
          : 'no counted runs weigh on it yet';
    ui.storyPane.classList.remove('stale', 'failed');
    ui.shareLink.hidden = true;
  }

  // The line that wrote a story line, selected in the editor.
  private showSource(line: number): void {
    const doc = this.view.state.doc;
    const { from, to } = doc.line(Math.min(Math.max(1, line), doc.lines));
    this.showPane('editor-pane');
    this.view.dispatch({ selection: EditorSelection.single(from, to), scrollIntoView: true });
    this.view.focus();
  }

  // A story from the block the editor's cursor stands in, with the seed on show.
  private async playFromCursor(): Promise<void> {
    const state = this.view.state;
    const line = state.doc.lineAt(state.selection.main.head).number;
    ui.start.value = blockAt((n) => state.doc.line(n).text, line);
    this.showPane('story-pane');
    await this.tell(this.seedShown());
  }

  private async copyCommand(): Promise<void> {
    try {
      await navigator.clipboard.writeText(ui.command.textContent ?? '');
    } catch {
      // No clipboard here: the command is selected for the user to copy.
      getSelection()?.selectAllChildren(ui.command);
    }
  }

  // What the command line shows instead of a story.
  private showFailure(message: string): void {
    this.shown = undefined;
    ui.story.textContent = message;
    ui.trace.replaceChildren();
    ui.command.textContent = '';
    ui.commandNote.textContent = '';
    ui.storyPane.classList.remove('stale');
    ui.storyPane.classList.add('failed');
  }

  private showStatisticsNote(): void {
    const runs = runsIn(stored(STATISTICS_KEY + this.name));
    ui.statisticsNote.textContent = runs > 0 ? `${runs} ${runs === 1 ? 'run' : 'runs'} counted` : '';
    ui.clearStatistics.disabled = runs === 0;
  }

  private async clearStatistics(): Promise<void> {
    store(STATISTICS_KEY + this.name, null);
    this.compiled?.scenario.then((old) => old.dispose(), () => {});
    this.compiled = undefined;
    await this.check();
    this.showStatisticsNote();
  }

  private async share(): Promise<void> {
    const fragment = await writeFragment({
      text: this.view.state.doc.toString(),
      seed: this.shown?.seed,
      statistics: this.shown?.statistics,
    });
    const url = `${location.href.replace(/#.*$/, '')}#${fragment}`;
    window.history.replaceState(null, '', url);
    ui.shareLink.value = url;
    ui.shareLink.hidden = false;
    ui.shareLink.select();
    try {
      await navigator.clipboard.writeText(url);
    } catch {
      // No clipboard here (file://, or no permission): the link is shown, selected.
    }
  }

  // ------------------------------------------------------------------------------------------
  // Diagnostics

  private showDiagnostics(all: readonly Diagnostic[]): void {
    this.checkerProblems = all;
    this.showProblems();
  }

  // The checker's diagnostics, then what the last coverage run found, in the list and the text.
  private showProblems(): void {
    const all = this.checkerProblems;
    let warnings = 0;
    const shown = all.filter((d) => d.severity === 'error' || ++warnings <= WARNINGS_SHOWN);
    const doc = this.view.state.doc;
    const marks: EditorDiagnostic[] = shown.map((d) => ({
      ...rangeOf(doc, d),
      severity: d.severity === 'note' ? 'info' : d.severity,
      message: `${d.message} [${d.code}]`,
    }));
    for (const p of this.coverage) {
      if (p.line < 1 || p.line > doc.lines) continue;
      const { from, to } = doc.line(p.line);
      marks.push({ from, to, severity: 'info', message: p.message });
    }
    this.view.dispatch(setDiagnostics(this.view.state, marks));
    const items = shown.map((d) => this.problemItem(d.line, d.column, d.severity, `${d.message} [${d.code}]`));
    if (shown.length < all.length) {
      const more = document.createElement('li');
      more.className = 'more';
      more.textContent = `… and ${all.length - shown.length} more warnings`;
      items.push(more);
    }
    for (const p of this.coverage) items.push(this.problemItem(p.line, 1, 'coverage', p.message));
    ui.diagnostics.replaceChildren(...items);
    const count = all.length + this.coverage.length;
    ui.diagnostics.classList.toggle('clean', count === 0);
    ui.problemCount.textContent = count > 0 ? `(${count})` : '';
  }

  // "12:7: error: message [V101]", the position a link to the place; "—" for no position.
  private problemItem(line: number, column: number, kind: string, message: string): HTMLLIElement {
    const item = document.createElement('li');
    item.className = kind;
    if (line < 1) {
      item.append(`—: ${kind}: ${message}`);
      return item;
    }
    const place = document.createElement('a');
    place.href = '#';
    place.textContent = `${line}:${column}`;
    place.addEventListener('click', (event) => {
      event.preventDefault();
      this.goToLine(line, column);
    });
    item.append(place, `: ${kind}: ${message}`);
    return item;
  }

  // The cursor to a place in the text, shown: on a small screen the editor's tab comes forward.
  goToLine(line: number, column: number): void {
    const from = offsetOf(this.view.state.doc, line, column);
    this.showPane('editor-pane');
    this.view.dispatch({ selection: EditorSelection.cursor(from), scrollIntoView: true });
    this.view.focus();
  }

  // ------------------------------------------------------------------------------------------
  // Coverage: stories played in a worker after each edit settles

  private runsWanted(): number {
    const runs = Number(ui.runs.value);
    return Number.isInteger(runs) && runs >= 1 && runs <= MAX_RUNS ? runs : DEFAULT_RUNS;
  }

  private startCoverage(scenario: Scenario): void {
    this.cancelCoverage();
    if (scenario.diagnostics.some((d) => d.severity === 'error')) {
      ui.coverageNote.textContent = '';
      return;
    }
    try {
      const url = URL.createObjectURL(new Blob([workerSource], { type: 'text/javascript' }));
      this.worker = new Worker(url);
      URL.revokeObjectURL(url);
    } catch {
      ui.coverageNote.textContent = 'This browser runs no workers here: no stories are played.';
      return;
    }
    const worker = this.worker;
    const runs = this.runsWanted();
    const request: CoverageRequest = {
      text: this.view.state.doc.toString(),
      statistics: scenario.statistics,
      runs,
      seed: COVERAGE_SEED,
      file: this.name,
    };
    worker.onmessage = (event: MessageEvent<CoverageAnswer>) => {
      if (this.worker !== worker) return;
      this.cancelCoverage();
      this.showCoverage(event.data, runs);
    };
    worker.postMessage(request);
    ui.coverageNote.textContent = `playing ${runs} stories…`;
    document.body.dataset.coverage = 'running';
  }

  // A new edit makes the batch under way pointless: its worker is ended, not waited for.
  private cancelCoverage(): void {
    this.worker?.terminate();
    this.worker = undefined;
    delete document.body.dataset.coverage;
  }

  /** Resolves when the coverage run of the text as it stands has ended (at once if it has). */
  coverageSettled(): Promise<void> {
    if (document.body.dataset.coverage === 'done') return Promise.resolve();
    return new Promise((resolve) => this.coverageWaiters.push(resolve));
  }

  private showCoverage(answer: CoverageAnswer, runs: number): void {
    document.body.dataset.coverage = 'done';
    for (const waiter of this.coverageWaiters.splice(0)) waiter();
    if ('failure' in answer) {
      ui.coverageNote.textContent = '';
      return;
    }
    this.coverage = coverageProblems(answer.report);
    const found = this.coverage.length;
    ui.coverageNote.textContent = `${runs} stories played (seed ${COVERAGE_SEED}): ${found === 0 ? 'every block reached, every choice taken' : `${found} found`}`;
    this.showProblems();
    void this.graph.show(answer.graph);
  }

  // ------------------------------------------------------------------------------------------
  // Panes on a small screen

  private wireTabs(): void {
    for (const tab of ui.tabs.querySelectorAll<HTMLButtonElement>('[data-pane]')) {
      tab.addEventListener('click', () => this.showPane(tab.dataset.pane ?? 'story-pane'));
    }
    ui.runs.max = String(MAX_RUNS);
    ui.runs.value = stored(RUNS_KEY) || String(DEFAULT_RUNS);
    ui.runs.addEventListener('change', () => {
      ui.runs.value = String(this.runsWanted());
      store(RUNS_KEY, ui.runs.value);
      if (this.diagnosed) this.startCoverage(this.diagnosed);
    });
  }

  // The pane a tab shows below 700 px (wider, every pane is shown and this changes nothing).
  private showPane(id: string): void {
    for (const tab of ui.tabs.querySelectorAll<HTMLButtonElement>('[data-pane]')) {
      const chosen = tab.dataset.pane === id;
      tab.setAttribute('aria-selected', String(chosen));
      document.getElementById(tab.dataset.pane ?? '')?.classList.toggle('shown', chosen);
    }
  }
}

// The package's API and the editor (a CodeMirror EditorView), for the console and for tests.
const playground = new Playground();
Object.assign(window, { plotwright: { Scenario, ScenarioError, playground } });
void playground.start();
