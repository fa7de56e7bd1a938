// The playground page: a scenario in an editor, its diagnostics as you type, its story beside
// it, its scene graph, the problems that a thousand stories played in a worker find, the
// examples, statistics kept per scenario in this browser, and Share links. Below 700 px the
// panes take turns, chosen by tabs. Compiling, checking, drawing the graph and telling stories
// happen in workers: the page's thread only shows their answers, so typing never waits.
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
import { type Diagnostic, Scenario, ScenarioError, type TracedStory } from '../src/plotwright.js';
import type { CoverageProblem } from './coverage-problems.js';
import { GraphPanel } from './graph-panel.js';
import type { StudioAnswer, TellRequest } from './studio-protocol.js';
import { type StudioPort, Studios } from './studio-client.js';
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
// How long the text must rest before it is checked: the check runs in a worker, so the delay
// only spares it work that the next keystroke would make pointless.
const CHECK_DELAY_MS = 100;
// How long the text must rest before it is saved for the next visit: saving a large scenario
// takes the page's thread a while, so not at every pause in typing (and at once when the page
// is left).
const SAVE_DELAY_MS = 2000;
const DAMAGED_LINK = 'This link is damaged: its scenario cannot be read.';
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

// What is shown of the text as it stands, each as body[data-STAGE="done"] once it is: its
// problems, its graph, and the problems its coverage batch found.
type Stage = 'problems' | 'graph' | 'coverage';
type Told = Extract<StudioAnswer, { kind: 'told' }>;

class Playground {
  view!: EditorView;
  private name = UNTITLED;
  private shown: { seed: number; statistics: string } | undefined;
  private checkTimer: ReturnType<typeof setTimeout> | undefined;
  private saveTimer: ReturnType<typeof setTimeout> | undefined; // set while the text is unsaved
  private graph!: GraphPanel;
  private readonly studios = new Studios();
  private checker!: StudioPort; // checks and stories, for the page's whole life
  private coverer: StudioPort | undefined; // the coverage batch under way
  // Each change of the text (or of the statistics it is checked with) is a generation: answers
  // for an older one are dropped.
  private generation = 0;
  private checked = -1; // the generation last sent to be checked
  private errors = false; // the checked text has errors: no stories are played for coverage
  private telling: Promise<void> = Promise.resolve();
  private tells = 0;
  private untold = 0; // stories asked for and not yet shown
  private answering: { id: number; resolve: (answer: Told) => void } | undefined;
  private checkerProblems: { shown: readonly Diagnostic[]; total: number } = { shown: [], total: 0 };
  private listed = ''; // what the problems list shows, as JSON
  private coverage: { shown: readonly CoverageProblem[]; total: number } = { shown: [], total: 0 };
  private waiters: Array<{ stage: Stage; resolve: () => void }> = [];

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
    this.checker = this.studios.start((answer) => this.receive(answer));
    // Where the checks run, for the tests: 'worker' unless this browser starts no worker.
    document.body.dataset.checkThread = this.checker.offThread ? 'worker' : 'page';
    this.wireControls();
    this.wireTabs();
    const opened = await this.openFragment();
    if (opened !== 'opened') await this.restoreSession();
    if (opened === 'damaged') this.showFailure(DAMAGED_LINK);
    await this.settled('graph');
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
    window.addEventListener('pagehide', () => {
      if (this.saveTimer !== undefined) this.saveSession();
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
    this.saveSession();
    this.check();
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
    this.changed();
    clearTimeout(this.checkTimer);
    this.checkTimer = setTimeout(() => this.check(), CHECK_DELAY_MS);
    clearTimeout(this.saveTimer);
    this.saveTimer = setTimeout(() => this.saveSession(), SAVE_DELAY_MS);
    ui.storyPane.classList.add('stale');
  }

  // The scenario and its name, for the next visit.
  private saveSession(): void {
    clearTimeout(this.saveTimer);
    this.saveTimer = undefined;
    store(SESSION_KEY, JSON.stringify({ name: this.name, text: this.view.state.doc.toString() }));
  }

  // What is shown no longer matches the text: a new generation, whose answers are awaited.
  private changed(): void {
    ++this.generation;
    for (const stage of ['problems', 'graph', 'coverage'] as const) delete document.body.dataset[stage];
    this.graph.markStale();
    this.cancelCoverage();
  }

  // Sends the text as it stands to be checked, unless it has been already.
  private check(): void {
    clearTimeout(this.checkTimer);
    if (this.checked === this.generation) return;
    this.checked = this.generation;
    const text = this.view.state.doc.toString();
    const statistics = stored(STATISTICS_KEY + this.name);
    this.checker.post({ kind: 'check', generation: this.generation, text, statistics, title: this.name });
  }

  // The workers' answers: those for an older text are dropped.
  private receive(answer: StudioAnswer): void {
    if (answer.kind === 'told') {
      if (answer.id === this.answering?.id) this.answering.resolve(answer);
    } else if (answer.kind === 'lost') {
      this.restartChecker(answer.message);
    } else if (answer.generation === this.generation) {
      if (answer.kind === 'problems') this.showChecked(answer.shown, answer.total, answer.errors);
      else if (answer.kind === 'failure') this.showUncompiled(answer.message);
      else if (answer.kind === 'graph') this.showGraph(answer.drawing);
    }
  }

  private showChecked(shown: readonly Diagnostic[], total: number, errors: boolean): void {
    this.errors = errors;
    this.coverage = { shown: [], total: 0 };
    this.showDiagnostics(shown, total);
    this.done('problems');
  }

  // The text cannot be compiled (a character with no Shift-JIS form): no problems, no graph.
  private showUncompiled(message: string): void {
    this.showChecked([], 0, true);
    this.showFailure(message);
    this.showGraph({ svg: '', note: '' });
  }

  private showGraph(drawing: { svg: string; note: string }): void {
    this.graph.show(drawing);
    this.done('graph');
    this.startCoverage();
  }

  // The checker died (out of memory, say): a new one checks the text again, and the story
  // awaited from the old one is told as failed.
  private restartChecker(message: string): void {
    this.checker.end();
    this.checker = this.studios.start((answer) => this.receive(answer));
    this.answering?.resolve({ kind: 'told', id: this.answering.id, failure: message || 'The engine stopped.' });
    this.checked = -1;
    this.check();
  }

  private done(stage: Stage): void {
    document.body.dataset[stage] = 'done';
    const ready = this.waiters.filter((w) => w.stage === stage);
    this.waiters = this.waiters.filter((w) => w.stage !== stage);
    for (const waiter of ready) waiter.resolve();
  }

  /** Resolves when `stage` of the text as it stands is shown (at once if it is). */
  settled(stage: Stage): Promise<void> {
    if (document.body.dataset[stage] === 'done') return Promise.resolve();
    return new Promise((resolve) => this.waiters.push({ stage, resolve }));
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
  private tell(seed: number): Promise<void> {
    return this.tellFrom(seed, ui.start.value, ui.noStats.checked ? null : undefined);
  }

  // The story a link shows: told from the statistics it carries, counted nowhere.
  private tellShared(seed: number, statistics: string): Promise<void> {
    ui.start.value = '';
    return this.tellFrom(seed, '', statistics);
  }

  // Stories are told one after another, each from the statistics the last one left: `given`
  // undefined for this browser's (which count the story), null for none, or a link's.
  // While any is under way, body[data-telling] is set.
  private tellFrom(seed: number, start: string, given: string | null | undefined): Promise<void> {
    ui.seed.value = String(seed);
    document.body.dataset.telling = String(++this.untold);
    const told = this.telling.then(() => this.tellNow(seed, start, given));
    this.telling = told.finally(() => {
      if (--this.untold === 0) delete document.body.dataset.telling;
    });
    return this.telling;
  }

  private async tellNow(seed: number, start: string, given: string | null | undefined): Promise<void> {
    this.check();
    const { name, generation } = this;
    const statistics = given === undefined ? stored(STATISTICS_KEY + name) : (given ?? undefined);
    const answer = await this.ask({
      text: this.view.state.doc.toString(),
      statistics,
      keep: given === undefined,
      seed,
      start,
    });
    if ('failure' in answer) {
      this.showFailure(answer.failure);
    } else {
      this.showStory(answer.story, seed, statistics, start);
      if (given === undefined) store(STATISTICS_KEY + name, answer.statistics ?? '');
    }
    // Told from the text as it was when asked: if it has changed since, the story says so.
    if (generation !== this.generation) ui.storyPane.classList.add('stale');
    this.showStatisticsNote();
  }

  private ask(request: Omit<TellRequest, 'kind' | 'id'>): Promise<Told> {
    const id = ++this.tells;
    return new Promise((resolve) => {
      this.answering = { id, resolve };
      this.checker.post({ kind: 'tell', id, ...request });
    });
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
    // The coverage batch played from the statistics cleared: checked and played anew.
    this.changed();
    this.check();
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

  private showDiagnostics(shown: readonly Diagnostic[], total: number): void {
    this.checkerProblems = { shown, total };
    this.showProblems();
  }

  // The checker's diagnostics, then what the last coverage run found, in the list and the text.
  private showProblems(): void {
    const { shown, total } = this.checkerProblems;
    const doc = this.view.state.doc;
    const marks: EditorDiagnostic[] = shown.map((d) => ({
      ...rangeOf(doc, d),
      severity: d.severity === 'note' ? 'info' : d.severity,
      message: `${d.message} [${d.code}]`,
    }));
    for (const p of this.coverage.shown) {
      if (p.line < 1 || p.line > doc.lines) continue;
      const { from, to } = doc.line(p.line);
      marks.push({ from, to, severity: 'info', message: p.message });
    }
    this.view.dispatch(setDiagnostics(this.view.state, marks));
    const count = total + this.coverage.total;
    ui.diagnostics.classList.toggle('clean', count === 0);
    ui.problemCount.textContent = count > 0 ? `(${count})` : '';
    // A keystroke within a line leaves the problems as they were: the list stays as it is.
    const listed = JSON.stringify([shown, total, this.coverage]);
    if (listed === this.listed) return;
    this.listed = listed;
    const items = shown.map((d) => this.problemItem(d.line, d.column, d.severity, `${d.message} [${d.code}]`));
    if (shown.length < total) items.push(this.moreItem(`… and ${total - shown.length} more warnings`));
    for (const p of this.coverage.shown) items.push(this.problemItem(p.line, 1, 'coverage', p.message));
    if (this.coverage.shown.length < this.coverage.total) {
      items.push(this.moreItem(`… and ${this.coverage.total - this.coverage.shown.length} more found by the stories`));
    }
    ui.diagnostics.replaceChildren(...items);
  }

  private moreItem(text: string): HTMLLIElement {
    return Object.assign(document.createElement('li'), { className: 'more', textContent: text });
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

  // Plays the checked text's stories in a worker of its own, unless the text has errors.
  private startCoverage(): void {
    this.cancelCoverage();
    if (this.errors) {
      ui.coverageNote.textContent = '';
      this.done('coverage');
      return;
    }
    const runs = this.runsWanted();
    const { generation } = this;
    const coverer = this.studios.start((answer) => {
      if (this.coverer !== coverer || !(answer.kind === 'covered' || answer.kind === 'lost')) return;
      this.cancelCoverage();
      this.showCoverage(answer, runs);
    });
    this.coverer = coverer;
    document.body.dataset.coverageThread = coverer.offThread ? 'worker' : 'page';
    coverer.post({
      kind: 'cover',
      generation,
      text: this.view.state.doc.toString(),
      statistics: stored(STATISTICS_KEY + this.name),
      runs,
      seed: COVERAGE_SEED,
      file: this.name,
    });
    ui.coverageNote.textContent = `playing ${runs} stories…`;
    document.body.dataset.coverage = 'running';
  }

  // A new edit makes the batch under way pointless: its worker is ended, not waited for.
  private cancelCoverage(): void {
    this.coverer?.end();
    this.coverer = undefined;
    if (document.body.dataset.coverage === 'running') delete document.body.dataset.coverage;
  }

  private showCoverage(answer: Extract<StudioAnswer, { kind: 'covered' | 'lost' }>, runs: number): void {
    this.done('coverage');
    if (!('problems' in answer)) {
      ui.coverageNote.textContent = '';
      return;
    }
    this.coverage = { shown: answer.problems, total: answer.total };
    const found = answer.total;
    ui.coverageNote.textContent = `${runs} stories played (seed ${COVERAGE_SEED}): ${found === 0 ? 'every block reached, every choice taken' : `${found} found`}`;
    this.showProblems();
    this.graph.show(answer.drawing);
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
      if (document.body.dataset.graph === 'done') this.startCoverage();
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
