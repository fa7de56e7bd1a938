// The story and coverage commands against the real program named by $PLOTWRIGHT: its runs for a
// story, and its language server for coverage.
import { test } from 'node:test';
import * as assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readdirSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import * as path from 'node:path';
import { COVERAGE_REQUEST, CoverageResult, coverageParams, coverageProblems, coverageSummary } from '../../src/coverage';
import { startingBlocks } from '../../src/lenses';
import { newSeed, outcomeOf, runStory } from '../../src/story';
import { storyPage } from '../../src/storyHtml';
import { request } from '../lsp';

const program = process.env.PLOTWRIGHT;
const examples = path.resolve(__dirname, '../../../../../examples');
const withProgram = { skip: program === undefined ? 'PLOTWRIGHT names no program' : false };

function scratch(): string {
  return mkdtempSync(path.join(tmpdir(), 'plotwright-story-'));
}

test('a story or its errors are what plotwright writes for the seed and start, statistics untouched', withProgram, async () => {
  const dir = scratch();
  for (const name of ['the-lighthouse-keeper.vell', 'yoru-no-eki.vell', 'yoru-no-eki.sjis.vell']) {
    copyFileSync(path.join(examples, name), path.join(dir, name));
  }
  // A block whose name looks like an option is still the block to start from.
  writeFileSync(path.join(dir, 'dash.vell'), 'title A\n{-x}\nscene -x\nDash.\nscene Quiet\nHush.\n');
  writeFileSync(path.join(dir, 'broken.vell'), 'title A\n{Road}\nselect Road\nNowhere\n<%gold>=10>Market\n');
  const runs: [string, number, string?][] = [
    ['the-lighthouse-keeper.vell', 7], ['yoru-no-eki.vell', 3], ['yoru-no-eki.sjis.vell', 3],
    ['dash.vell', 2, 'Quiet'], ['dash.vell', 2, '-x'], ['broken.vell', 1],
  ];
  for (const [name, seed, start] of runs) {
    const file = path.join(dir, name);
    const kind = name === 'broken.vell' ? 'errors' : 'story';
    const from = start === undefined ? [] : [`--start=${start}`];
    const plain = spawnSync(program!, ['--no-stats', '--seed', String(seed), ...from, file], { encoding: 'utf8' });
    assert.deepEqual(await runStory(program!, file, seed, start), { kind, seed, text: plain.stdout }, name);
  }
  assert.equal(readdirSync(dir).filter((f) => f.endsWith('.vus')).length, 0);
});

test('a coverage run places the blocks no story reached and the choices none took', withProgram, async () => {
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

test('blocks with a name and a story of their own get "Play from this block"', () => {
  const block = (name: string, detail: string | undefined, line: number) => ({ name, detail, line });
  const outline = [
    block('A', 'title', 0), block('Fork', 'select', 2), block('(scene without a name)', 'scene', 5),
    block('Left', 'scene', 7), block('Help', 'message', 9), block('Odd', undefined, 11),
  ];
  assert.deepEqual(startingBlocks(outline).map((b) => b.name), ['A', 'Fork', 'Left']);
});

test('a file plotwright cannot read gives its message; a missing program points to the setting', withProgram, async () => {
  const dir = scratch();
  const runs: [string, string, RegExp][] = [
    [program!, path.join(dir, 'missing.vell'), /missing\.vell: No such file/],
    [path.join(dir, 'no-plotwright'), 'x.vell', /no-plotwright": set plotwright\.path/],
  ];
  for (const [run, file, message] of runs) {
    const outcome = await runStory(run, file, 1);
    assert.match(outcome.kind === 'failure' ? outcome.message : '', message);
  }
});

test('exit statuses and output are read as plotwright means them', () => {
  const cases: [number | null, string, string, ReturnType<typeof outcomeOf>][] = [
    [0, '{"index":0,"text":"Once.\\n"}\n', '', { kind: 'story', seed: 9, text: 'Once.\n' }],
    [1, '{"index":0,"text":"Scene \\"X\\" not found\\n"}\n', '', { kind: 'errors', seed: 9, text: 'Scene "X" not found\n' }],
    [2, '', 'plotwright: a.vell: line 3: character U+1F600 (😀) has no Shift-JIS form\n', {
      kind: 'failure', seed: 9, message: 'plotwright: a.vell: line 3: character U+1F600 (😀) has no Shift-JIS form',
    }],
    [0, 'not json\n', '', { kind: 'failure', seed: 9, message: 'plotwright wrote no story it could read: not json' }],
    [0, '{"index":0}\n', '', { kind: 'failure', seed: 9, message: 'plotwright wrote no story it could read: {"index":0}' }],
    [null, '', '', { kind: 'failure', seed: 9, message: 'plotwright stopped with exit status unknown' }],
  ];
  for (const [status, stdout, stderr, expected] of cases) {
    assert.deepEqual(outcomeOf(9, status, stdout, stderr), expected);
  }
});

test('seeds stay within what --seed takes', () => {
  assert.equal(newSeed(() => 0), 0);
  assert.equal(newSeed(() => 1 - Number.EPSILON), 0x7fffffff);
});

test('the page shows the seed and escapes the story and the file name', () => {
  const page = storyPage({ kind: 'story', seed: 42, text: '<script>alert(1)</script> & "so"' }, '<b>.vell', 'n0nce');
  assert.match(page, /seed 42/);
  assert.match(page, /&lt;script&gt;alert\(1\)&lt;\/script&gt; &amp; &quot;so&quot;/);
  assert.match(page, /<h3>&lt;b&gt;\.vell<\/h3>/);
  assert.equal(page.match(/<script/g)?.length, 1, 'only the page\'s own script');
  assert.match(page, /<script nonce="n0nce">/);
  const errors = storyPage({ kind: 'errors', seed: 1, text: 'Scene "X" not found' }, 'a.vell', 'n');
  assert.match(errors, /The scenario has errors/);
});
