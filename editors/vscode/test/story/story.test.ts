// The story command's runs of plotwright, against the real program named by $PLOTWRIGHT.
import { test } from 'node:test';
import * as assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readdirSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import * as path from 'node:path';
import { startingBlocks } from '../../src/lenses';
import { newSeed, outcomeOf, runStory } from '../../src/story';
import { storyPage } from '../../src/storyHtml';

const program = process.env.PLOTWRIGHT;
const examples = path.resolve(__dirname, '../../../../../examples');
const withProgram = { skip: program === undefined ? 'PLOTWRIGHT names no program' : false };

function scratch(): string {
  return mkdtempSync(path.join(tmpdir(), 'plotwright-story-'));
}

test('a story is the one plotwright writes for the same seed, statistics untouched', withProgram, async () => {
  const dir = scratch();
  const scenario = path.join(dir, 'lighthouse.vell');
  copyFileSync(path.join(examples, 'the-lighthouse-keeper.vell'), scenario);
  const outcome = await runStory(program!, scenario, 7);
  const plain = execFileSync(program!, ['--no-stats', '--seed', '7', scenario], { encoding: 'utf8' });
  assert.deepEqual(outcome, { kind: 'story', seed: 7, text: plain });
  assert.deepEqual(readdirSync(dir), ['lighthouse.vell']);
});

test('Japanese scenarios in UTF-8 and Shift-JIS give the same UTF-8 story', withProgram, async () => {
  const utf8 = await runStory(program!, path.join(examples, 'yoru-no-eki.vell'), 3);
  assert.deepEqual(await runStory(program!, path.join(examples, 'yoru-no-eki.sjis.vell'), 3), utf8);
  assert.match(utf8.kind === 'story' ? utf8.text : '', /最終列車|雪の夜/);
});

test('a scenario with compile errors gives their messages instead of a story', withProgram, async () => {
  const scenario = path.join(scratch(), 'broken.vell');
  writeFileSync(scenario, 'title A\n{Road}\nselect Road\nNowhere\n<%gold>=10>Market\n');
  assert.deepEqual(await runStory(program!, scenario, 1), {
    kind: 'errors',
    seed: 1,
    text:
      'Scene "Nowhere" not found in select statement "Road"\n' +
      'Scene "Market" not found in select statement "Road"\n',
  });
});

test('a story played from a block starts there, whatever its name looks like', withProgram, async () => {
  const scenario = path.join(scratch(), 'dash.vell');
  writeFileSync(scenario, 'title A\n{-x}\nscene -x\nDash.\nscene Quiet\nHush.\n');
  const from = async (block: string) => (await runStory(program!, scenario, 2, block)) as { text: string };
  assert.match((await from('Quiet')).text, /^Hush\./);
  assert.match((await from('-x')).text, /^Dash\./);
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
