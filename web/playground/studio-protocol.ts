// What the page and its workers say to each other. The page asks for the check of the text as
// it stands (its diagnostics, then its graph laid out), for stories, and for coverage batches;
// each check carries the generation of the text it is for, and the page drops any answer for
// an older generation, so that nothing shown ever belongs to text that has since changed.
import type { Diagnostic, TracedStory } from '../src/plotwright.js';
import type { CoverageProblem } from './coverage-problems.js';

// At most this many warnings are listed and marked (every error is): a generated scenario can
// have a hundred thousand, more than a person reads or the page can show quickly.
export const WARNINGS_SHOWN = 1000;

// At most this many of the problems a coverage batch finds are listed and marked: in a large
// generated scenario, tens of thousands of blocks no story reaches.
export const PLAYED_PROBLEMS_SHOWN = 1000;

// A graph of more nodes than this is summed up rather than drawn: Graphviz's layout grows
// faster than the graph, and a picture of thousands of blocks says nothing anyway.
export const MAX_GRAPH_NODES = 400;

/** The diagnostics and the graph of `text`, compiled with `statistics`. */
export interface CheckRequest {
  kind: 'check';
  generation: number;
  text: string;
  statistics: string;
  title: string;
}

/**
 * A story of `text`: from `statistics`, or none when undefined. `keep`: the worker keeps the
 * compiled scenario, whose statistics the story counts, for the next story of the same text.
 */
export interface TellRequest {
  kind: 'tell';
  id: number;
  text: string;
  statistics: string | undefined;
  keep: boolean;
  seed: number;
  start: string;
}

/** `runs` stories of `text` played for coverage, in a worker of their own that the page ends when the text changes. */
export interface CoverRequest {
  kind: 'cover';
  generation: number;
  text: string;
  statistics: string;
  runs: number;
  seed: number;
  file: string;
}

export type StudioRequest = CheckRequest | TellRequest | CoverRequest;

/** A laid-out graph as SVG text, or ('' ) a note that says why there is none. */
export interface Drawing {
  svg: string;
  note: string;
}

export type StudioAnswer =
  // The errors and the first warnings; `total` counts them all.
  | { kind: 'problems'; generation: number; shown: Diagnostic[]; total: number; errors: boolean }
  // The text cannot be compiled at all (a character with no Shift-JIS form): the message.
  | { kind: 'failure'; generation: number; message: string }
  | { kind: 'graph'; generation: number; drawing: Drawing }
  | { kind: 'told'; id: number; story: TracedStory; statistics: string | undefined }
  | { kind: 'told'; id: number; failure: string }
  // The first of the problems found, in the order of their lines; `total` counts them all.
  | { kind: 'covered'; generation: number; problems: CoverageProblem[]; total: number; drawing: Drawing }
  | { kind: 'covered'; generation: number; failure: string }
  // Not the worker's: the page's word for a worker that died (out of memory, say).
  | { kind: 'lost'; message: string };
