// The playground's work off the page's thread: compiling and checking the text, laying out its
// graph with Graphviz, telling stories and playing coverage batches. Requests are served one
// at a time, in order; a check that a newer check has overtaken is dropped at the next step.
import { instance, type Viz } from '@viz-js/viz';
import { Scenario } from '../src/plotwright.js';
import { coverageProblems } from './coverage-problems.js';
import {
  type CheckRequest,
  type CoverRequest,
  type Drawing,
  MAX_GRAPH_NODES,
  PLAYED_PROBLEMS_SHOWN,
  type StudioAnswer,
  type StudioRequest,
  type TellRequest,
  WARNINGS_SHOWN,
} from './studio-protocol.js';

// The nodes of the graph writer's DOT: "  s12 [label=...", "  b3 [", "  m1 [".
const NODE_LINE = /^ {2}[sbm]\d+ \[/gm;

function messageOf(error: unknown): string {
  return error instanceof Error ? error.message : String(error);
}

// Lets the messages that arrived meanwhile be received: a newer check among them makes the
// rest of the current one pointless.
function nextTask(): Promise<void> {
  return new Promise((resolve) => setTimeout(resolve, 0));
}

export class StudioWork {
  private latestCheck = -1;
  private queue: Promise<void> = Promise.resolve();
  // The scenario of the last check or kept story, whose statistics count the stories told.
  private kept: { text: string; scenario: Scenario } | undefined;
  private viz: Promise<Viz> | undefined;

  constructor(private readonly post: (answer: StudioAnswer) => void) {}

  receive(request: StudioRequest): void {
    if (request.kind === 'check') this.latestCheck = request.generation;
    this.queue = this.queue.then(() => this.serve(request));
  }

  // Every request is answered, even when the engine fails in a way nothing foresaw: the page
  // waits for the answer, and the requests after it must still be served.
  private async serve(request: StudioRequest): Promise<void> {
    try {
      if (request.kind === 'check') await this.check(request);
      else if (request.kind === 'tell') await this.tell(request);
      else await this.cover(request);
    } catch (error) {
      const failure = messageOf(error);
      if (request.kind === 'check') this.post({ kind: 'failure', generation: request.generation, message: failure });
      else if (request.kind === 'tell') this.post({ kind: 'told', id: request.id, failure });
      else this.post({ kind: 'covered', generation: request.generation, failure });
    }
  }

  private async check(request: CheckRequest): Promise<void> {
    const { generation } = request;
    if (generation !== this.latestCheck) return;
    const scenario = await this.compileKept(request.text, request.statistics);
    const all = scenario.diagnostics;
    let warnings = 0;
    const shown = all.filter((d) => d.severity === 'error' || ++warnings <= WARNINGS_SHOWN);
    const errors = all.some((d) => d.severity === 'error');
    this.post({ kind: 'problems', generation, shown, total: all.length, errors });
    await nextTask();
    if (generation !== this.latestCheck) return;
    const dot = scenario.graph({ title: request.title, lines: true });
    this.post({ kind: 'graph', generation, drawing: await this.draw(dot) });
  }

  // The scenario of `text` from `statistics`, kept for the stories that follow.
  private async compileKept(text: string, statistics: string): Promise<Scenario> {
    if (this.kept?.text === text && this.kept.scenario.statistics === statistics) return this.kept.scenario;
    this.kept?.scenario.dispose();
    this.kept = undefined;
    const scenario = await Scenario.compile(text, { statistics });
    this.kept = { text, scenario };
    return scenario;
  }

  private async tell(request: TellRequest): Promise<void> {
    const { id, text, statistics, seed, start } = request;
    let scratch: Scenario | undefined;
    try {
      const scenario =
        request.keep && statistics !== undefined
          ? await this.compileKept(text, statistics)
          : (scratch = await Scenario.compile(text, statistics === undefined ? {} : { statistics }));
      const story = scenario.storyWithSources({ seed, start });
      this.post({ kind: 'told', id, story, statistics: scenario.statistics });
    } finally {
      scratch?.dispose();
    }
  }

  private async cover(request: CoverRequest): Promise<void> {
    const { generation } = request;
    let scenario: Scenario | undefined;
    try {
      scenario = await Scenario.compile(request.text, { statistics: request.statistics });
      const { report, graph } = scenario.coverageAndGraph(request);
      const problems = coverageProblems(report);
      const shown = problems.slice(0, PLAYED_PROBLEMS_SHOWN);
      this.post({ kind: 'covered', generation, problems: shown, total: problems.length, drawing: await this.draw(graph) });
    } finally {
      scenario?.dispose();
    }
  }

  // The graph laid out by Graphviz, or a summary when it has too many blocks to draw.
  private async draw(dot: string): Promise<Drawing> {
    const nodes = dot.match(NODE_LINE)?.length ?? 0;
    if (dot === '') return { svg: '', note: '' };
    if (nodes > MAX_GRAPH_NODES) {
      const note =
        `${nodes} blocks: more than the ${MAX_GRAPH_NODES} drawn here. ` +
        '`plotwright graph FILE | dot -Tsvg > graph.svg` draws them all.';
      return { svg: '', note };
    }
    try {
      this.viz ??= instance();
      return { svg: (await this.viz).renderString(dot, { format: 'svg' }), note: '' };
    } catch (error) {
      return { svg: '', note: `The graph cannot be drawn: ${messageOf(error)}` };
    }
  }
}
