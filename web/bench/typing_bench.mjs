// How the playground answers typing in a large scenario, in headless Chromium: the time from a
// keystroke to the problems list showing the new text's diagnostics, at 20,000 and 100,000
// lines, and the longest input delay while typing as checks run.
//   node web/bench/typing_bench.mjs BUILD     (BUILD: the regular build, for its scenario writer)
import { launch, openPlayground, serve } from '../test/harness.mjs';
import { largeScenario } from './large_scenario.mjs';

const SIZES = [20000, 100000];
const KEYSTROKES = 7;
// Typing as a quick typist does, in bursts with pauses long enough for a check to start.
const BURSTS = 6;
const BURST = 'abcdefgh';
const KEY_GAP_MS = 40;
const PAUSE_MS = 250;

const lines = largeScenario('typing_bench.mjs').split('\n');

// Replaces the editor's text, waits until everything about it is shown, and puts the cursor at
// the end of line 2.
async function load(page, text) {
  await page.evaluate(async (t) => {
    const { playground } = window.plotwright;
    const view = playground.view;
    view.dispatch({ changes: { from: 0, to: view.state.doc.length, insert: t } });
    await playground.settled('coverage');
    view.focus();
    view.dispatch({ selection: { anchor: view.state.doc.line(2).to } });
  }, text);
}

// From the keydown of one keystroke to the end of the task that shows its problems.
async function keystrokeToProblems(page) {
  await page.evaluate(() => {
    window.keyAt = undefined;
    addEventListener('keydown', (e) => { window.keyAt = e.timeStamp; }, { once: true, capture: true });
  });
  await page.keyboard.type('x');
  return page.evaluate(async () => {
    const { playground } = window.plotwright;
    await playground.settled('problems');
    const shown = performance.now();
    await playground.settled('coverage');
    return shown - window.keyAt;
  });
}

async function longestInputDelay(page) {
  await page.evaluate(() => {
    window.inputDelays = [];
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.inputDelays.push(e.processingStart - e.startTime);
    }).observe({ type: 'event', durationThreshold: 16 });
  });
  for (let i = 0; i < BURSTS; ++i) {
    await page.keyboard.type(BURST, { delay: KEY_GAP_MS });
    await new Promise((resolve) => setTimeout(resolve, PAUSE_MS));
  }
  await page.evaluate(() => window.plotwright.playground.settled('problems'));
  return page.evaluate(() => Math.max(0, ...window.inputDelays));
}

const server = await serve();
const browser = await launch();
const results = [];
try {
  const page = await openPlayground(browser.defaultBrowserContext(), server.url);
  for (const size of SIZES) {
    await load(page, `${lines.slice(0, size).join('\n')}\n`);
    const times = [];
    for (let i = 0; i < KEYSTROKES; ++i) times.push(await keystrokeToProblems(page));
    times.sort((a, b) => a - b);
    results.push({ size, median: times[times.length >> 1], most: times.at(-1), delay: await longestInputDelay(page) });
  }
} finally {
  await browser.close();
  server.close();
}

const ms = (value) => `${Math.round(value)} ms`;
console.log(`keystroke to problems: median and slowest of ${KEYSTROKES}, each from the keydown, through the`);
console.log('settle delay, to the problems shown; input delay: the longest of any event while typing');
console.log(`${BURSTS} bursts of ${BURST.length} keys ${KEY_GAP_MS} ms apart, ${PAUSE_MS} ms between bursts`);
console.log('| lines | keystroke to problems (median) | slowest | longest input delay |\n|---|---|---|---|');
for (const r of results) {
  console.log(`| ${r.size.toLocaleString('en')} | ${ms(r.median)} | ${ms(r.most)} | ${ms(r.delay)} |`);
}
