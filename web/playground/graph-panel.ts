// The graph pane: the scene graph's DOT (the package's graph(), its nodes carrying their lines)
// drawn by Graphviz in WebAssembly. A node with a line leads the editor there.
import { instance, type Viz } from '@viz-js/viz';

// A graph of more nodes than this is summed up rather than drawn: Graphviz's layout grows
// faster than the graph, and it runs on the page's thread.
export const MAX_GRAPH_NODES = 400;

// The nodes of the graph writer's DOT: "  s12 [label=...", "  b3 [", "  m1 [".
const NODE_LINE = /^ {2}[sbm]\d+ \[/gm;

export class GraphPanel {
  private viz: Promise<Viz> | undefined;
  private drawn = ''; // the DOT on show

  constructor(
    private readonly host: HTMLElement,
    private readonly note: HTMLElement,
    private readonly goToLine: (line: number) => void,
  ) {
    host.addEventListener('click', (event) => {
      const node = (event.target as Element).closest('g.node');
      const line = /(?:^|\s)line-(\d+)(?:\s|$)/.exec(node?.getAttribute('class') ?? '');
      if (line) goToLine(Number(line[1]));
    });
  }

  /** The picture no longer matches the text: shown faded until the next one. */
  markStale(): void {
    this.host.classList.add('stale');
  }

  /** Draws `dot`, or says why not: too many nodes, or no graph (`dot` empty, `why` given). */
  async show(dot: string, why = ''): Promise<void> {
    if (dot === this.drawn && dot !== '') {
      this.host.classList.remove('stale');
      return;
    }
    this.drawn = dot;
    const nodes = dot.match(NODE_LINE)?.length ?? 0;
    if (dot === '' || nodes > MAX_GRAPH_NODES) {
      this.host.replaceChildren();
      this.note.textContent =
        dot === ''
          ? why
          : `${nodes} blocks: more than the ${MAX_GRAPH_NODES} drawn here. ` +
            '`plotwright graph FILE | dot -Tsvg > graph.svg` draws them all.';
      return;
    }
    let svg: SVGSVGElement;
    try {
      this.viz ??= instance();
      svg = (await this.viz).renderSVGElement(dot);
    } catch (error) {
      this.note.textContent = `The graph cannot be drawn: ${error instanceof Error ? error.message : error}`;
      return;
    }
    if (this.drawn !== dot) return; // a newer graph came while this one was drawn
    this.note.textContent = '';
    this.host.replaceChildren(svg);
    this.host.classList.remove('stale');
  }
}
