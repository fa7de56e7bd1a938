// The language server's graph request and the messages between the graph view and its page.
// Free of the editor's API, so that its tests run under plain Node.

export const GRAPH_REQUEST = 'plotwright/graph';

// The stories of a coverage run, told again for the graph with the same seed: the same counts.
export interface CoverageAsk {
  count: number;
  seed: number;
}

export interface GraphResult {
  dot: string; // block nodes carry class="line-N", N counted from 1
  stories?: number;
  coverageError?: string;
}

export function graphParams(uri: string, coverage?: CoverageAsk) {
  return coverage === undefined ? { textDocument: { uri } } : { textDocument: { uri }, coverage };
}

// What the extension sends the page.
export type ToPage =
  | { type: 'graph'; title: string; dot: string; note: string }
  | { type: 'stale' } // the text changed; a new graph follows when it settles
  | { type: 'note'; note: string }; // no graph: why

// What the page sends the extension: it is ready for a graph, a block's line (counted from 0)
// was clicked, or the author asks for a coverage run.
export type FromPage = { command: 'ready' } | { command: 'reveal'; line: number } | { command: 'coverage' };

// A message from the page, checked: the page is the extension's own, but a message is data.
export function fromPage(message: unknown): FromPage | undefined {
  if (typeof message !== 'object' || message === null) return undefined;
  const { command, line } = message as { command?: unknown; line?: unknown };
  if (command === 'ready' || command === 'coverage') return { command };
  if (command === 'reveal' && Number.isSafeInteger(line) && (line as number) >= 0) {
    return { command, line: line as number };
  }
  return undefined;
}

// The line above the picture: what the shading shows, or why there is none.
export function graphNote(result: GraphResult, coverage?: CoverageAsk): string {
  if (result.coverageError !== undefined) return `No coverage: ${result.coverageError}`;
  if (coverage === undefined || result.stories === undefined) return 'Click a block to go to its line.';
  return `Shaded by the share of ${result.stories} stories (seed ${coverage.seed}) that reached each block; red: none.`;
}
