// Drives the playground in headless Chromium (CHROMIUM, Debian's chromium by default) through
// puppeteer-core, served from web/dist by a static server on the loopback address.
import puppeteer from 'puppeteer-core';
import { serve } from '../scripts/serve.mjs';

export { serve };

export function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--lang=en-GB'],
  });
}

/** Opens the page in `context` and waits until it has told its first story. */
export async function openPlayground(context, url, requests = []) {
  const page = await context.newPage();
  await page.setViewport({ width: 1400, height: 860 });
  page.on('request', (request) => requests.push(request.url()));
  page.on('pageerror', (error) => requests.push(`page error: ${error.message}`));
  await page.goto(url);
  await page.waitForSelector('body[data-ready]');
  return page;
}

/** Replaces the editor's text by typing, as a person would; returns once its problems are shown. */
export async function typeScenario(page, text) {
  await page.click('.cm-content');
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyA');
  await page.keyboard.up('Control');
  await page.keyboard.press('Backspace');
  await page.keyboard.type(text);
  await settled(page, 'problems');
}

export const read = {
  story: (page) => page.$eval('#story', (e) => e.textContent),
  seed: (page) => page.$eval('#seed', (e) => e.value),
  diagnostics: (page) => page.$$eval('#diagnostics li', (items) => items.map((i) => i.textContent)),
  editor: (page) => page.evaluate(() => window.plotwright.playground.view.state.doc.toString()),
  storage: (page, key) => page.evaluate((k) => localStorage.getItem(k), key),
  activeLine: (page) => page.$eval('.cm-activeLine', (e) => e.textContent),
  text: (page, selector) => page.$eval(selector, (e) => e.textContent),
};

/** Runs `action` and waits until the story or the seed has changed and no story is awaited. */
export async function changing(page, action) {
  const before = { story: await read.story(page), seed: await read.seed(page) };
  await action();
  await page.waitForFunction(
    (b) => (document.querySelector('#story').textContent !== b.story ||
      document.querySelector('#seed').value !== b.seed) && document.body.dataset.telling === undefined,
    // No limit of its own: a busy machine only makes the story slower, and ctest's limit on the
    // whole test still ends a story that never comes.
    { timeout: 0 },
    before,
  );
}

// Waits until what the page shows of the text as it stands is complete, however long it takes:
// its 'problems', its 'graph', or its 'coverage' (the stories played after each edit).
export function settled(page, stage) {
  return page.evaluate((s) => window.plotwright.playground.settled(s), stage);
}
