// The playground in a real browser, used as a person uses it, and held to the command-line
// program: typed scenarios, Regenerate and F5, the seed field, Share links, diagnostics in the
// list and the gutter, the examples, links written by hand, and file://.
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { deflateRawSync } from 'node:zlib';
import { changing, launch, openPlayground, read, serve, settled, typeScenario } from './harness.mjs';
import { cli, dist, example, scratch } from './support.mjs';

// Choices and alternatives, so that both the seed and the statistics change the story.
const CHOOSING = `title Morning
The (sun|moon|rain) came up over the (hill|sea).
{Road}
select Road
Forest
River
Market
scene Forest
Trees (everywhere|and more trees).
scene River
Water.
scene Market
Stalls and noise.
scene The end
`;
const STATISTICS = 'plotwright.statistics.';

let server;
let browser;
const requests = [];

before(async () => {
  server = await serve();
  browser = await launch();
});

after(async () => {
  await browser?.close();
  server?.close();
});

// A context of its own: a browser that has kept nothing yet.
async function freshPage(t, url = server.url) {
  const context = await browser.createBrowserContext();
  t.after(() => context.close());
  return openPlayground(context, url, requests);
}

// What the program prints for `args` run in `folder` on `text` as story.vell.
function told(folder, text, args) {
  writeFileSync(join(folder, 'story.vell'), text);
  return cli([...args, 'story.vell'], folder);
}

test("a typed scenario tells the command line's stories, run after run, and its Share link too", async (t) => {
  const folder = scratch(t);
  const page = await freshPage(t);
  const name = await page.$eval('#examples', (e) => e.value);
  await typeScenario(page, CHOOSING);
  assert.equal(await read.editor(page), CHOOSING);
  // The statistics the typed scenario starts from are this browser's, as the file on disk.
  writeFileSync(join(folder, 'story.vus'), (await read.storage(page, STATISTICS + name)) ?? '');
  for (const press of ['#regenerate', 'F5', '#regenerate', 'seed 7', 'F5']) {
    await changing(page, async () => {
      if (press === 'F5') await page.keyboard.press('F5');
      else if (press === 'seed 7') await page.$eval('#seed', (e) => { e.value = '7'; e.dispatchEvent(new Event('change')); });
      else await page.click(press);
    });
    const seed = await read.seed(page);
    if (press === 'seed 7') assert.equal(seed, '7');
    const expected = told(folder, CHOOSING, ['--seed', seed]);
    assert.equal(expected.status, 0);
    assert.equal(await read.story(page), expected.stdout, `${press}, seed ${seed}`);
  }
  assert.equal(await read.storage(page, STATISTICS + name), readFileSync(join(folder, 'story.vus'), 'utf8'));
  assert.match(await read.text(page, '#statistics-note'), /runs counted/);
  // A Share link opens the same scenario and story, here and in a browser that kept nothing.
  const story = await read.story(page);
  const seed = await read.seed(page);
  await page.click('#share');
  await page.waitForFunction(() => !document.querySelector('#share-link').hidden);
  const link = await page.$eval('#share-link', (e) => e.value);
  assert.match(link, /#scenario=[A-Za-z0-9_-]+&seed=\d+&statistics=[A-Za-z0-9_-]+$/);
  for (const shared of [await openPlayground(page.browserContext(), link, requests), await freshPage(t, link)]) {
    assert.equal(await read.editor(shared), CHOOSING);
    assert.equal(await read.seed(shared), seed);
    assert.equal(await read.story(shared), story);
  }
});

test('a mistake is listed with its line and marked in the gutter as it is typed', async (t) => {
  const folder = scratch(t);
  const page = await freshPage(t);
  const broken = 'title Morning\nThe sun rose.\n{Road}\nselect Road\nForest\nMarkt\nscene Forest\nTrees.\nscene The end\n';
  await typeScenario(page, broken);
  assert.deepEqual(await read.diagnostics(page), [
    '6:1: error: Scene "Markt" not found in select statement "Road" [V101]',
  ]);
  // The gutter's marker stands beside line 6, and so does the mark in the text.
  const markerTop = await page.$eval('.cm-lint-marker-error', (e) => e.getBoundingClientRect().top);
  const lineTops = await page.$$eval('.cm-line', (lines) => lines.map((l) => l.getBoundingClientRect().top));
  const nearest = lineTops.map((top) => Math.abs(top - markerTop)).reduce((best, d, i, all) => (d < all[best] ? i : best), 0);
  assert.equal(nearest + 1, 6);
  assert.equal(await read.text(page, '.cm-lintRange-error'), 'Markt');
  // Its position takes the cursor there.
  await page.click('#diagnostics li.error a');
  assert.equal(await read.activeLine(page), 'Markt');
  // The story shows what the program shows instead of a story.
  await changing(page, () => page.click('#regenerate'));
  const expected = told(folder, broken, ['--no-stats', '--seed', await read.seed(page)]);
  assert.equal(expected.status, 1);
  assert.equal(`${await read.story(page)}\n`, expected.stdout);
  assert.ok(await page.$eval('#story-pane', (e) => e.classList.contains('failed')));
});

// Never reached: Lost (no path leads to it) and Never (its choice never qualifies); never taken:
// Never in Gate.
const UNREACHED = `title Start
[%n=1]
{Gate}
select Gate
Common
<%n==2>Never
scene Common
Common.
scene Never
Never.
scene Lost
Lost.
`;

test('played stories list the blocks never reached and the choices never taken, shade the graph; the trace reads values', async (t) => {
  const page = await freshPage(t);
  await typeScenario(page, UNREACHED);
  await settled(page, 'coverage');
  const coverage = (await read.diagnostics(page)).filter((d) => d.includes(': coverage: '));
  assert.deepEqual(coverage, [
    '4:1: coverage: the choice "Never" in "Gate" was taken in none of 1000 draws',
    '9:1: coverage: "Never" was reached by none of 1000 stories',
    '11:1: coverage: "Lost" was reached by none of 1000 stories (no path leads to it)',
  ]);
  // The graph is the one the same stories shade: the never-reached blocks in red.
  const fills = await page.$$eval('#graph g.node', (nodes) =>
    Object.fromEntries(nodes.map((n) => [n.querySelector('text')?.textContent, n.querySelector('polygon, path')?.getAttribute('fill')])));
  assert.equal(fills.Lost, '#f4a3a3');
  assert.equal(fills.Common, '#a6d99a');
  // A new edit ends the batch: the next run is for the new text.
  await page.keyboard.type('\nscene Extra\nMore.');
  await settled(page, 'coverage');
  const after = await read.diagnostics(page);
  assert.ok(after.some((d) => d.startsWith('14:1: coverage: "Extra"')), after.join('\n'));
  // The trace shows the path with the values its conditions read.
  await changing(page, () => page.click('#regenerate'));
  const steps = await page.$$eval('#trace li', (items) => items.map((i) => i.textContent));
  assert.ok(steps.includes('jump → Gate'), steps.join('\n'));
  assert.ok(steps.some((s) => s.startsWith('draw at Gate: ') && s.includes('[%n = 1, wanted 2]')), steps.join('\n'));
});

test('on a phone the panes take turns, the story first, and the page scrolls; wide, the header is one line', async (t) => {
  const long = ['title Long', ...Array.from({ length: 80 }, (_, i) => `Line ${i + 1} of the story.\\n`), ''].join('\n');
  const page = await freshPage(t, `${server.url}#text=${encodeURIComponent(long)}&seed=3`);
  await page.setViewport({ width: 400, height: 850 });
  const shown = () => page.$$eval('main section', (all) => all.filter((s) => s.offsetParent !== null).map((s) => s.id));
  assert.deepEqual(await shown(), ['story-pane']);
  // The whole story is read by scrolling the page down to its last line.
  await page.evaluate(() => window.scrollTo(0, document.documentElement.scrollHeight));
  const last = await page.evaluate(() => {
    const range = document.createRange();
    range.selectNodeContents(document.querySelector('#story'));
    const rects = [...range.getClientRects()];
    return { bottom: rects.at(-1).bottom, height: innerHeight, scrolled: scrollY };
  });
  assert.ok(last.scrolled > 0 && last.bottom <= last.height, JSON.stringify(last));
  for (const [tab, pane] of [['Edit', 'editor-pane'], ['Trace', 'trace-pane'], ['Graph', 'graph-pane'], ['Problems', 'problems-pane']]) {
    await page.click(`#tabs ::-p-text(${tab})`);
    assert.deepEqual(await shown(), [pane]);
  }
  await page.setViewport({ width: 1280, height: 800 });
  const middles = await page.$$eval('header > *', (all) => all.filter((e) => e.offsetParent !== null)
    .map((e) => { const r = e.getBoundingClientRect(); return Math.round(r.top + r.height / 2); }));
  assert.ok(Math.max(...middles) - Math.min(...middles) <= 4, JSON.stringify(middles));
  assert.equal((await shown()).length, 5);
});

test('links written by hand tell their seed, from a server and from file://', async (t) => {
  const folder = scratch(t);
  const japanese = example('yoru-no-eki.vell').toString('utf8');
  const compressed = deflateRawSync(Buffer.from(CHOOSING)).toString('base64url');
  const file = pathToFileURL(join(dist, 'index.html')).href;
  const links = [
    [`${server.url}#text=${encodeURIComponent(japanese)}&seed=5`, japanese, '5'],
    [`${file}#text=${encodeURIComponent(japanese)}&seed=4294967295`, japanese, '4294967295'],
    [`${file}#scenario=${compressed}&seed=12`, CHOOSING, '12'],
  ];
  for (const [link, text, seed] of links) {
    const page = await freshPage(t, link);
    assert.equal(await read.seed(page), seed);
    assert.equal(await read.editor(page), text);
    assert.equal(await read.story(page), told(folder, text, ['--no-stats', '--seed', seed]).stdout, link.slice(0, 60));
    assert.equal(await page.$('#diagnostics li.error'), null);
  }
  const damaged = await freshPage(t, `${server.url}#scenario=not-deflate&seed=5`);
  assert.equal(await read.story(damaged), 'This link is damaged: its scenario cannot be read.');
});

test('the examples menu opens each example with its story', async (t) => {
  const folder = scratch(t);
  const page = await freshPage(t);
  // The page opened with the first example and told it once: its statistics count that run.
  for (const name of ['yoru-no-eki.vell', 'the-lighthouse-keeper.vell']) {
    writeFileSync(join(folder, 'story.vus'), (await read.storage(page, STATISTICS + name)) ?? '');
    await changing(page, () => page.select('#examples', name));
    const text = example(name).toString('utf8');
    assert.equal(await read.editor(page), text);
    const expected = told(folder, text, ['--seed', await read.seed(page)]);
    assert.equal(await read.story(page), expected.stdout, name);
  }
  // Each example counts its own runs, until they are cleared.
  assert.notEqual(await read.storage(page, `${STATISTICS}yoru-no-eki.vell`), null);
  await page.click('#clear-statistics');
  assert.equal(await read.storage(page, `${STATISTICS}the-lighthouse-keeper.vell`), null);
  assert.equal(await read.text(page, '#statistics-note'), '');
});

test("a story line or a graph block leads to its line; play from here starts at the cursor's block; typing goes on as stories play", async (t) => {
  const folder = scratch(t);
  const page = await freshPage(t);
  const name = await page.$eval('#examples', (e) => e.value);
  await typeScenario(page, CHOOSING);
  await changing(page, () => page.click('#no-stats'));
  // An alternative, the block a jump reached, and built-in scenes.
  const lines = await page.$$eval('#story .story-line', (spans) => spans.map((s) => ({ ...s.dataset })));
  const written = lines.filter((l) => l.line).map((l) => Number(l.line));
  assert.ok(written.includes(2), 'the alternative');
  assert.ok(written.some((l) => [9, 11, 13].includes(l)), 'the block the jump reached');
  assert.deepEqual([...new Set(lines.map((l) => l.scene).filter(Boolean))], ['start_message', 'last_message']);
  const text = CHOOSING.split('\n');
  for (const line of new Set(written)) {
    await page.click(`#story .story-line[data-line="${line}"]`);
    assert.equal(await read.activeLine(page), text[line - 1]);
  }
  // So does a block in the graph, as the played stories shade it (drawn last).
  await settled(page, 'coverage');
  for (const [block, line] of [['Market', 'scene Market'], ['Road', 'select Road'], ['Morning', 'title Morning']]) {
    await page.click(`#graph g.node ::-p-text(${block})`);
    assert.equal(await read.activeLine(page), line);
  }
  // From a line inside Market's block, with the command line that tells the same.
  await page.evaluate(() => {
    const { view } = window.plotwright.playground;
    view.dispatch({ selection: { anchor: view.state.doc.line(13).from } });
  });
  await changing(page, () => page.click('#play-here'));
  const seed = await read.seed(page);
  assert.equal(await page.$eval('#start', (e) => e.value), 'Market');
  assert.equal(await read.text(page, '#command'), `plotwright --seed ${seed} --start Market --no-stats ${name}`);
  const expected = told(folder, CHOOSING, ['--seed', seed, '--start', 'Market', '--no-stats']);
  assert.equal(await read.story(page), expected.stdout);
  assert.match(await read.story(page), /Stalls and noise\./);
  // Typing stays responsive while a hundred thousand stories play: each key is handled while they
  // still play, where a run that held the page's thread would let them through only at its end.
  // (make web-bench measures the input delays; a bound on them would depend on the machine's load.)
  await page.$eval('#runs', (e) => { e.value = '100000'; e.dispatchEvent(new Event('change')); });
  assert.equal(await page.evaluate(() => document.body.dataset.coverage), 'running');
  assert.equal(await page.evaluate(() => document.body.dataset.coverageThread), 'worker');
  await page.click('#start', { count: 3 });
  await page.keyboard.type('Market and more');
  assert.equal(await page.$eval('#start', (e) => e.value), 'Market and more');
  assert.equal(await page.evaluate(() => document.body.dataset.coverage), 'running');
});

test("a 100,000-line scenario is checked off the page's thread; the list keeps every error, a thousand warnings", async (t) => {
  const page = await freshPage(t);
  const lost = Array.from({ length: 49999 }, (_, i) => `scene Lost${i}\nNobody comes here.`);
  const large = ['title Start', 'Hello.', ...lost].join('\n');
  await page.evaluate((text) => {
    const { view } = window.plotwright.playground;
    view.dispatch({ changes: { from: 0, to: view.state.doc.length, insert: text }, selection: { anchor: text.length } });
    view.focus();
  }, large);
  await settled(page, 'problems');
  assert.match((await read.diagnostics(page)).at(-1), /^… and \d+ more warnings$/);
  // Typed while the scenario is compiled and checked, again and again, and its stories played.
  await page.keyboard.type('\nselect Road\nMarkt', { delay: 30 });
  await settled(page, 'problems');
  assert.equal(await page.evaluate(() => document.body.dataset.checkThread), 'worker');
  const listed = await read.diagnostics(page);
  assert.equal(listed.length, 1002);
  assert.equal(listed.filter((d) => d.includes(': warning: ')).length, 1000);
  assert.equal(listed[1000], '100002:1: error: Scene "Markt" not found in select statement "Road" [V101]');
  const checked = told(scratch(t), await read.editor(page), ['check']).stdout;
  assert.equal(listed[1001], `… and ${checked.match(/: warning: /g).length - 1000} more warnings`);
  // Too many blocks to lay out on the page's thread: a summary stands in for the graph.
  await settled(page, 'graph');
  assert.match(await read.text(page, '#graph-note'), /^5000\d blocks: more than the 400 drawn here/);
  assert.equal(await page.$('#graph svg'), null);
});

test('the page fetches nothing from elsewhere and raises no error', () => {
  const foreign = requests.filter((url) =>
    !url.startsWith(server.url) && !url.startsWith('file://') && !url.startsWith('data:') &&
    !url.startsWith(`blob:${server.url.slice(0, -1)}`) && !url.startsWith('blob:null/'));
  assert.deepEqual(foreign, []);
});
