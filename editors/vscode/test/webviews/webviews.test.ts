// The graph and story pages in headless Chromium, fed by the real language server
// ($PLOTWRIGHT): the graph drawn under the page's own policy, a click on a block naming its
// line; a story line naming the line that wrote it, and the story page's buttons.
import { after, before, test } from 'node:test';
import * as assert from 'node:assert/strict';
import type { Browser } from 'puppeteer-core';
import { GRAPH_REQUEST, GraphResult, graphParams } from '../../src/graph';
import { STORY_REQUEST, StoryResult, storyParams } from '../../src/story';
import { storyPage } from '../../src/storyHtml';
import { request } from '../lsp';
import { graphPageHtml, launch, openWebview } from './page';

const program = process.env.PLOTWRIGHT;
const skip = program === undefined || process.env.CHROMIUM === undefined ? 'needs PLOTWRIGHT and CHROMIUM' : false;
let browser: Browser;

before(async () => {
  if (!skip) browser = await launch();
});
after(() => browser?.close());

test('a click on a block of the served graph names its line; coverage shades it', { skip }, async () => {
  const uri = 'file:///cave.vell';
  const text = 'title Cave\n{Fork}\nselect Fork\nLeft\n<%gold>=10>Vault\nscene Left\nDark.\nscene Vault\nGold.\n';
  const graph = await request<GraphResult>(program!, uri, text, GRAPH_REQUEST, graphParams(uri, { count: 50, seed: 2 }));
  const { page, posted, errors } = await openWebview(browser, graphPageHtml());
  await page.waitForFunction(() => (window as unknown as { posted: unknown[] }).posted.length > 0);
  const show = (title: string, dot: string) =>
    page.evaluate((title, dot) => window.postMessage({ type: 'graph', title, dot, note: '' }, '*'), title, dot);
  await show('cave.vell', graph.dot);
  await page.waitForSelector('#graph svg g.node.line-8');
  // The block no story reached is red; the one every story reached green.
  const fill = (line: number) => page.$eval(`g.line-${line} :is(polygon, path)`, (p) => p.getAttribute('fill'));
  assert.deepEqual([await fill(8), await fill(6)], ['#f4a3a3', '#a6d99a']);
  await page.click('g.line-8');
  await page.click('g.line-3');
  await page.click('#coverage');
  assert.deepEqual(await posted(), [
    { command: 'ready' },
    { command: 'reveal', line: 7 },
    { command: 'reveal', line: 2 },
    { command: 'coverage' },
  ]);
  // A graph too large to lay out in the page is summed up instead.
  const big = `digraph g {\n${Array.from({ length: 401 }, (_, i) => `  s${i} [label="x"];\n`).join('')}}\n`;
  await show('big', big);
  await page.waitForFunction(() => document.querySelector('#note')?.textContent?.startsWith('401 blocks'));
  assert.equal(await page.$('#graph svg'), null);
  assert.deepEqual(errors, []);
});

test('a story line names the line that wrote it; the buttons ask for stories', { skip }, async () => {
  const uri = 'file:///cave.vell';
  const text = 'title Cave\n{Fork}\nselect Fork\nLeft\nscene Left\n(Dark|Black|Dim) cave.\n{Deep}\nscene Deep\nWater drips.\n{No}\n';
  const told = await request<StoryResult>(program!, uri, text, STORY_REQUEST, storyParams(uri, 3, 'Fork'));
  const outcome = { kind: 'story' as const, seed: 3, text: told.text, sources: told.lines };
  const { page, posted, errors } = await openWebview(browser, storyPage(outcome, 'a b.vell', 'n0nce', 'Fork'));
  const click = (words: string) => page.locator(`::-p-text(${words})`).click();
  await click('cave.'); // one of a line's alternatives
  await click('Water drips.'); // after a jump
  await click('1.'); // the built-in scene No: no line of the file
  await page.click('#another');
  await page.click('#restart');
  assert.deepEqual(await posted(), [
    { command: 'reveal', line: 5 },
    { command: 'reveal', line: 8 },
    { command: 'another' },
    { command: 'restart' },
  ]);
  assert.equal(await page.$eval('.story', (story) => story.textContent), told.text.replace(/\n$/, ''));
  assert.match(await page.$eval('.hint code', (c) => c.textContent ?? ''), /^plotwright --no-stats --seed 3 --start=Fork 'a b\.vell'$/);
  assert.deepEqual(errors, []);
});
