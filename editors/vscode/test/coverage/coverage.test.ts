// The coverage command's request and problems, against the language server of the real program
// named by $PLOTWRIGHT.
import { test } from 'node:test';
import * as assert from 'node:assert/strict';
import { COVERAGE_REQUEST, CoverageResult, coverageParams, coverageProblems, coverageSummary } from '../../src/coverage';
import { request } from '../lsp';

const program = process.env.PLOTWRIGHT;
const withProgram = { skip: program === undefined ? 'PLOTWRIGHT names no program' : false };

test('a run places the blocks no story reached and the choices none took', withProgram, async () => {
  const uri = 'file:///cave.vell';
  const text = 'title Cave\n{Fork}\nselect Fork\nLeft\n<%gold>=10>Vault\nscene Left\nDark.\nscene Vault\nGold.\n';
  const result = await request<CoverageResult>(program!, uri, text, COVERAGE_REQUEST, coverageParams(uri, 20, 5));
  const line = (n: number, end: number) => ({ start: { line: n, character: 0 }, end: { line: n, character: end } });
  assert.deepEqual(coverageProblems(result), [
    { range: line(7, 11), message: 'No story reached the scene block "Vault" (20 stories).' },
    { range: line(4, 16), message: 'No story took the choice "Vault" of "Fork" (20 stories).' },
  ]);
  assert.equal(coverageSummary(result), 'Coverage of 20 stories (seed 5): 3 of 4 blocks reached, 1 of 2 choices taken.');
});
