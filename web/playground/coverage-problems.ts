// What a coverage report (the JSON of `plotwright coverage`) tells an author, as problems with
// positions: blocks no story reached, choices no draw took, stories cut short by a limit.
export interface CoverageProblem {
  line: number; // 0: no position
  message: string;
}

interface Report {
  runs: number;
  blocks: Array<{ name: string; line: number; scene: number; stories: number; reachable: boolean }>;
  draws: Array<{
    name: string;
    line: number;
    draws: number;
    choices: Array<{ name: string; scene: number; taken: number }>;
  }>;
  cut_short: Array<{ limit: string; stories: number }>;
}

function plural(count: number, one: string, many = `${one}s`): string {
  return `${count} ${count === 1 ? one : many}`;
}

export function coverageProblems(json: string): CoverageProblem[] {
  const report = JSON.parse(json) as Report;
  const lineOf = new Map(report.blocks.map((b) => [b.scene, b.line]));
  const problems: CoverageProblem[] = [];
  const stories = plural(report.runs, 'story', 'stories');
  for (const block of report.blocks) {
    if (block.stories > 0) continue;
    const why = block.reachable ? '' : ' (no path leads to it)';
    problems.push({ line: block.line, message: `"${block.name}" was reached by none of ${stories}${why}` });
  }
  for (const draw of report.draws) {
    if (draw.draws === 0) continue;
    for (const choice of draw.choices) {
      if (choice.taken > 0) continue;
      // The title list has no line of its own: its choices are the titles, at theirs.
      const line = draw.line || (lineOf.get(choice.scene) ?? 0);
      problems.push({
        line,
        message: `the choice "${choice.name}" in "${draw.name}" was taken in none of ${plural(draw.draws, 'draw')}`,
      });
    }
  }
  for (const cut of report.cut_short) {
    problems.push({ line: 0, message: `${plural(cut.stories, 'story', 'stories')} of ${report.runs} cut short by the ${cut.limit} limit` });
  }
  return problems.sort((a, b) => a.line - b.line);
}
