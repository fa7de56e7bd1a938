// The web figures of bench/README.md, in node and in headless Chromium: Scenario.compile of the
// 199,998-line benchmark scenario, and one story of the English example after its compile.
//   node web/bench/web_bench.mjs BUILD     (BUILD: the regular build, for its scenario writer)
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, openPlayground, serve } from '../test/harness.mjs';
import { dist, example } from '../test/support.mjs';
import { largeScenario } from './large_scenario.mjs';

const REPETITIONS = 5;
const STORIES = 2000;

const large = largeScenario('web_bench.mjs');
const lighthouse = example('the-lighthouse-keeper.vell').toString('utf8');

// Runs in node and, as its source, in the page: medians in milliseconds.
async function measure(Scenario, large, lighthouse, repetitions, stories) {
  const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];
  const least = (values) => Math.min(...values);
  const compiles = [];
  for (let i = 0; i < repetitions; ++i) {
    const start = performance.now();
    const scenario = await Scenario.compile(large);
    compiles.push(performance.now() - start);
    if (scenario.diagnostics.length > 1e9) throw new Error('unreachable');
    scenario.dispose();
  }
  const scenario = await Scenario.compile(lighthouse);
  const perStory = [];
  for (let i = 0; i < repetitions; ++i) {
    const start = performance.now();
    for (let seed = 0; seed < stories; ++seed) scenario.story({ seed });
    perStory.push((performance.now() - start) / stories);
  }
  const firstStart = performance.now();
  const fresh = await Scenario.compile(lighthouse);
  const compiled = performance.now() - firstStart;
  const storyStart = performance.now();
  fresh.story({ seed: 7 });
  const firstStory = performance.now() - storyStart;
  return { compile: median(compiles), compileBest: least(compiles), story: median(perStory), exampleCompile: compiled, firstStory };
}

const { Scenario } = await import(pathToFileURL(join(dist, 'plotwright.js')).href);
const results = { node: await measure(Scenario, large, lighthouse, REPETITIONS, STORIES) };

const server = await serve();
const browser = await launch();
try {
  const page = await openPlayground(browser.defaultBrowserContext(), server.url);
  results.chromium = await page.evaluate(
    `(${measure.toString()})(window.plotwright.Scenario, ${JSON.stringify(large)}, ${JSON.stringify(lighthouse)}, ${REPETITIONS}, ${STORIES})`,
  );
} finally {
  await browser.close();
  server.close();
}

const ms = (value) => `${value.toFixed(value < 1 ? 3 : 1)} ms`;
console.log(`${large.split('\n').length - 1} lines, ${(large.length / 1e6).toFixed(1)} MB; medians of ${REPETITIONS}`);
console.log('| | node | Chromium |\n|---|---|---|');
for (const [key, label] of [
  ['compile', 'Scenario.compile, 199,998 lines, with its 123,345 diagnostics'],
  ['compileBest', 'the same, fastest of the repetitions'],
  ['exampleCompile', 'Scenario.compile, English example (once)'],
  ['story', `story() of the English example (mean of ${STORIES})`],
  ['firstStory', 'the first story() after its compile'],
]) {
  console.log(`| ${label} | ${ms(results.node[key])} | ${ms(results.chromium[key])} |`);
}
