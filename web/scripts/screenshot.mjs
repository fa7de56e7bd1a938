// A picture of the playground for the README: the English example and its story for seed 7,
// taken in headless Chromium by the browser tests' harness, at a desktop size or, given
// WIDTHxHEIGHT, at that one (a phone: 400x850).
//   node web/scripts/screenshot.mjs OUTPUT.png [WIDTHxHEIGHT]
import { changing, launch, openPlayground, serve } from '../test/harness.mjs';

const [output, size = '1400x860'] = process.argv.slice(2);
const [width, height] = size.split('x').map(Number);
if (!output || !(width > 0 && height > 0)) {
  console.error('usage: node web/scripts/screenshot.mjs OUTPUT.png [WIDTHxHEIGHT]');
  process.exit(2);
}
const server = await serve();
const browser = await launch();
try {
  const page = await openPlayground(browser.defaultBrowserContext(), server.url);
  await page.setViewport({ width, height });
  await changing(page, () =>
    page.$eval('#seed', (e) => {
      e.value = '7';
      e.dispatchEvent(new Event('change'));
    }),
  );
  // The editor scrolled past the example's opening comment, to its first blocks.
  await page.evaluate(() => {
    const { view } = window.plotwright.playground;
    view.scrollDOM.scrollTop = view.lineBlockAt(view.state.doc.line(19).from).top;
  });
  // Highlighting follows the text in the editor's idle time.
  await page.waitForSelector('.cm-line span');
  await new Promise((resolve) => setTimeout(resolve, 500));
  await page.screenshot({ path: output });
} finally {
  await browser.close();
  server.close();
}
