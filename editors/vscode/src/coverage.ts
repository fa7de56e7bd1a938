// The language server's coverage request and what its answer shows: the blocks many stories
// never reached and the choices they never took, as problems at their places. Free of the
// editor's API, so that its tests run under plain Node.

export const COVERAGE_REQUEST = 'plotwright/coverage';

// What one request tells, unless the settings say otherwise; the server cuts larger counts.
export const DEFAULT_COVERAGE_STORIES = 1000;

export interface Position {
  line: number;
  character: number;
}
export interface Range {
  start: Position;
  end: Position;
}

export interface CoverageResult {
  stories: number;
  seed?: number;
  blocks: number;
  reachedBlocks: number;
  choices: number;
  takenChoices: number;
  cutShort: { limit: string; stories: number }[];
  unreached: { name: string; kind: string; range: Range }[];
  untaken: { name: string; select: string; range: Range }[];
}

export interface CoverageProblem {
  range: Range;
  message: string;
}

export function coverageParams(uri: string, count: number, seed: number) {
  return { textDocument: { uri }, count, seed };
}

function stories(count: number): string {
  return count === 1 ? '1 story' : `${count} stories`;
}

export function coverageProblems(result: CoverageResult): CoverageProblem[] {
  const runs = stories(result.stories);
  return [
    ...result.unreached.map((block) => ({
      range: block.range,
      message: `No story reached the ${block.kind} block "${block.name}" (${runs}).`,
    })),
    ...result.untaken.map((choice) => ({
      range: choice.range,
      message: `No story took the choice "${choice.name}" of "${choice.select}" (${runs}).`,
    })),
  ];
}

// One line for the status message: the counts, the stories cut short, and the seed that
// repeats the run (`plotwright coverage --no-stats --seed N FILE`).
export function coverageSummary(result: CoverageResult): string {
  const seed = result.seed === undefined ? '' : ` (seed ${result.seed})`;
  const cut = result.cutShort.map((c) => `, ${stories(c.stories)} cut short by ${c.limit}`).join('');
  return (
    `Coverage of ${stories(result.stories)}${seed}: ${result.reachedBlocks} of ${result.blocks} blocks reached, ` +
    `${result.takenChoices} of ${result.choices} choices taken${cut}.`
  );
}
