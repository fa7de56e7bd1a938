// The plotwright package: compile a Vell scenario, read its diagnostics, tell its stories.
//   const s = await Scenario.compile(text);
//   console.log(s.story({ seed: 7 }));
import createPlotwrightEngine, {
  type Engine,
  type EngineCodec,
  type EngineDiagnostics,
  type EngineScenario,
} from './plotwright-engine.js';

/** A diagnostic of `plotwright check`: lines and columns 1-based, columns in characters. */
export interface Diagnostic {
  line: number;
  column: number;
  /** Where the range ends, not included. */
  endLine: number;
  endColumn: number;
  severity: 'error' | 'warning' | 'note';
  /** A stable code, such as "V101" (docs/diagnostics.md). */
  code: string;
  message: string;
}

export interface CompileOptions {
  /**
   * Keep statistics, starting from this content of the statistics file (`NAME.vus`; '' for
   * none yet). Without it the scenario keeps none, as `plotwright --no-stats`.
   */
  statistics?: string;
}

export interface StoryOptions {
  /** As `plotwright --seed N` (0 to 4294967295); by default a random one. */
  seed?: number;
}

export interface StoriesOptions extends StoryOptions {
  /**
   * How many stories, as `plotwright --count N` (1 to 1000000). One call returns at most
   * 64 MiB of stories (UTF-8): a call whose stories pass that throws a `RangeError`.
   */
  count: number;
}

export interface GraphOptions {
  /** As `plotwright graph --format`: 'dot' (the default, for Graphviz) or 'mermaid'. */
  format?: 'dot' | 'mermaid';
  /** The picture's title, which the command line takes from the file's name. */
  title?: string;
  /**
   * DOT only: each node that has a block of its own carries its block's line as a class,
   * `class="line-17"`, which Graphviz's SVG keeps on the node's group.
   */
  lines?: boolean;
}

export interface CoverageOptions extends StoryOptions {
  /** How many stories, as `plotwright coverage --runs N` (1 to 10000000). */
  runs: number;
  /** The file the report names, as the command line names the file it read. */
  file?: string;
}

export interface TracedStoryOptions extends StoryOptions {
  /** As `plotwright --start NAME`: the block the story starts at; by default where every story does. */
  start?: string;
}

/** A line of a story and the scenario line that wrote it. */
export interface StoryLine {
  text: string;
  /**
   * The file line (1-based, as an editor counts) that wrote it: of several lines joined into
   * one story line, the first. Absent when a built-in scene's own line wrote it, or nothing did.
   */
  line?: number;
  /** The built-in scene whose own line wrote it: "start_message", "No", "last_message", ... */
  scene?: string;
}

/**
 * One step of a story's path, as `plotwright --json --trace` writes it: `event` is "enter",
 * "draw", "directive", "skip", "missing" or "end"; a condition's `read` says the values it read
 * ("%n = 0, wanted 2").
 */
export interface TraceEvent {
  event: string;
  scene?: number;
  name?: string;
  how?: string;
  read?: string;
  [member: string]: unknown;
}

/** A story with its lines' sources and its path. */
export interface TracedStory {
  /** As `story()` gives it. */
  text: string;
  lines: StoryLine[];
  trace: TraceEvent[];
  /** The limit that ended the story early ("the line limit (30000 lines a story)"), if one did. */
  cutShort?: string;
}

/**
 * Thrown when a scenario tells no story. `message` is what the command-line program shows
 * instead: the scenario's error messages (`status` 1), or the character that has no
 * Shift-JIS form (`status` 2).
 */
export class ScenarioError extends Error {
  readonly status: number;

  constructor(message: string, status: number) {
    super(message);
    this.name = 'ScenarioError';
    this.status = status;
  }
}

const MAX_SEED = 4294967295;
const MAX_COUNT = 1000000;
const MAX_RUNS = 10000000;

interface Runtime {
  engine: Engine;
  codec: EngineCodec;
}

let runtime: Promise<Runtime> | undefined;

function loadRuntime(): Promise<Runtime> {
  runtime ??= createPlotwrightEngine().then((engine) => ({ engine, codec: new engine.Codec() }));
  return runtime;
}

// A scenario's engine object is freed by dispose(), or when its Scenario is collected.
const finalizer = new FinalizationRegistry<EngineScenario>((handle) => handle.delete());

// A number of the wrong type is a TypeError, as in the platform's own APIs: '7' is not taken
// for 7, nor silently refused as if it were out of range.
function checkNumber(value: unknown, name: string): void {
  if (typeof value !== 'number') {
    throw new TypeError(`${name}: a number is needed, not ${value === null ? 'null' : typeof value}`);
  }
}

function checkSeed(seed: number | undefined): number {
  if (seed === undefined) return randomSeed();
  checkNumber(seed, 'seed');
  if (!Number.isInteger(seed) || seed < 0 || seed > MAX_SEED) {
    throw new RangeError(`'${seed}' is not a number from 0 to ${MAX_SEED}`);
  }
  return seed;
}

function randomSeed(): number {
  return crypto.getRandomValues(new Uint32Array(1))[0];
}

function checkCount(count: number, name = 'count', most = MAX_COUNT): number {
  checkNumber(count, name);
  if (!Number.isInteger(count) || count < 1 || count > most) {
    throw new RangeError(`${name}: ${count} is not a whole number from 1 to ${most}`);
  }
  return count;
}

function diagnosticsOf(table: EngineDiagnostics): Diagnostic[] {
  const numbers = table.numbers.slice();
  const diagnostics: Diagnostic[] = [];
  let at = 0;
  for (let i = 0; i < numbers.length; i += 7) {
    const end = at + numbers[i + 6];
    diagnostics.push({
      line: numbers[i],
      column: numbers[i + 1],
      endLine: numbers[i + 2],
      endColumn: numbers[i + 3],
      severity: table.severities[numbers[i + 4]],
      code: table.codes[numbers[i + 5]],
      message: table.messages.slice(at, end),
    });
    at = end;
  }
  return diagnostics;
}

export class Scenario {
  /** What `plotwright check` reports, sorted by position. */
  readonly diagnostics: readonly Diagnostic[];
  #handle: EngineScenario | undefined;
  #notes: readonly string[] = Object.freeze([]);

  private constructor(handle: EngineScenario) {
    this.#handle = handle;
    this.diagnostics = Object.freeze(diagnosticsOf(handle.diagnostics()));
    finalizer.register(this, handle, this);
  }

  /**
   * Compiles a scenario: text, or a file's bytes, which are read as the command line reads a
   * file (valid UTF-8 as UTF-8, anything else as Shift-JIS). Scenario errors do not throw:
   * they are in `diagnostics`, and `story()` throws them.
   */
  static async compile(scenario: string | Uint8Array, options: CompileOptions = {}): Promise<Scenario> {
    const { engine, codec } = await loadRuntime();
    const bytes = typeof scenario === 'string' ? new TextEncoder().encode(scenario) : scenario;
    if (!(bytes instanceof Uint8Array)) throw new TypeError('a scenario is a string or a Uint8Array');
    const { statistics } = options;
    if (statistics !== undefined && typeof statistics !== 'string') {
      throw new TypeError('statistics are a string');
    }
    const handle = new engine.Scenario(codec, bytes, statistics);
    const error = handle.error();
    if (error !== '') {
      handle.delete();
      throw new ScenarioError(error, 2);
    }
    return new Scenario(handle);
  }

  /**
   * One story, as `plotwright --no-stats --seed N FILE` prints it (UTF-8, LF line ends, a final
   * line end); with statistics, as `plotwright --seed N FILE` when its statistics file holds
   * `statistics`, and its uses are counted in `statistics`.
   */
  /**
   * What the command line notes after the stories of the last `story()` or `stories()` call,
   * without its "plotwright: note: ": a story cut short by a limit says so, "story 1 was cut
   * short by ...". Empty when there is nothing to note.
   */
  get notes(): readonly string[] {
    return this.#notes;
  }

  story(options: StoryOptions = {}): string {
    return this.#tell(checkSeed(options.seed), 1)[0];
  }

  /**
   * As `plotwright --count N --seed S`: the first story and N - 1 more, in one run. Throws a
   * `RangeError`, counting nothing, as soon as the stories pass 64 MiB (UTF-8): ask for fewer
   * at a time.
   */
  stories(options: StoriesOptions): string[] {
    return this.#tell(checkSeed(options.seed), checkCount(options.count));
  }

  /**
   * As `story()` (with `start`, as `plotwright --start NAME`), with where each line came from
   * and the path the story took (`--trace`). Counted in the statistics as `story()` is.
   */
  storyWithSources(options: TracedStoryOptions = {}): TracedStory {
    const start = options.start === undefined ? '' : String(options.start);
    const run = this.#live().tellTraced(checkSeed(options.seed), start);
    if (!('text' in run)) throw new ScenarioError(run.message, run.status);
    const texts = run.text.split('\n');
    const lines = run.lines.map((line, i): StoryLine => {
      const shown: StoryLine = { text: texts[i] ?? '' };
      if (line > 0) shown.line = line;
      if (run.words[i] !== '') shown.scene = run.words[i];
      return shown;
    });
    const traced: TracedStory = { text: run.text, lines, trace: JSON.parse(run.trace) };
    if (run.cutShort !== '') traced.cutShort = run.cutShort;
    return traced;
  }

  /** As `plotwright graph FILE`: the scenario's scene graph as written, in DOT or Mermaid. */
  graph(options: GraphOptions = {}): string {
    const { format = 'dot', title = 'scenario', lines = false } = options;
    if (format !== 'dot' && format !== 'mermaid') {
      throw new RangeError(`format: '${format}' is neither 'dot' nor 'mermaid'`);
    }
    return this.#live().graph(String(title), format === 'mermaid', lines === true);
  }

  /**
   * As `plotwright coverage --format json --runs N --seed S FILE`: the JSON report of what N
   * stories reach. They start from `statistics` and do not change them.
   */
  coverage(options: CoverageOptions): string {
    return this.#cover(options, false).report;
  }

  /**
   * The coverage report, and from the same stories the scene graph as `plotwright graph
   * --coverage N --seed S FILE` draws it (DOT, headed by `file`), its nodes with their lines
   * as `graph({ lines: true })` writes them.
   */
  coverageAndGraph(options: CoverageOptions): { report: string; graph: string } {
    const { report, graph = '' } = this.#cover(options, true);
    return { report, graph };
  }

  /**
   * The statistics file's content as the command line would have saved it after the runs so
   * far; undefined when the scenario keeps no statistics.
   */
  get statistics(): string | undefined {
    return this.#live().statistics();
  }

  /** Frees the engine's memory now rather than when the scenario is collected. */
  dispose(): void {
    if (this.#handle === undefined) return;
    finalizer.unregister(this);
    this.#handle.delete();
    this.#handle = undefined;
  }

  #cover(options: CoverageOptions, graph: boolean): { report: string; graph?: string } {
    const runs = checkCount(options.runs, 'runs', MAX_RUNS);
    const file = String(options.file ?? 'scenario');
    const run = this.#live().coverage(checkSeed(options.seed), runs, file, graph);
    if ('report' in run) return run;
    throw new ScenarioError(run.message, run.status);
  }

  #tell(seed: number, count: number): string[] {
    const run = this.#live().tell(seed, count);
    if ('stories' in run) {
      this.#notes = Object.freeze(run.notes);
      return run.stories;
    }
    if (run.overLimit) throw new RangeError(run.message);
    throw new ScenarioError(run.message, run.status);
  }

  #live(): EngineScenario {
    if (this.#handle === undefined) throw new Error('the scenario was disposed of');
    return this.#handle;
  }
}
