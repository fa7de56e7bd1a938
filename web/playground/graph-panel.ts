// The graph pane: the scene graph as the worker laid it out (SVG text from Graphviz, whose nodes
// carry their block's line as a class), or the note that stands in for it. A node with a line
// leads the editor there.
import type { Drawing } from './studio-protocol.js';

export class GraphPanel {
  private drawn = ''; // the SVG on show

  constructor(
    private readonly host: HTMLElement,
    private readonly note: HTMLElement,
    goToLine: (line: number) => void,
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

  /** Shows a drawing: its picture, or none and its note. */
  show({ svg, note }: Drawing): void {
    this.note.textContent = note;
    this.host.classList.remove('stale');
    if (svg === this.drawn) return;
    this.drawn = svg;
    if (svg === '') {
      this.host.replaceChildren();
      return;
    }
    // Parsed as an SVG document, not as HTML: the labels are text, whatever the scenario says.
    const picture = new DOMParser().parseFromString(svg, 'image/svg+xml').documentElement;
    this.host.replaceChildren(picture);
  }
}
