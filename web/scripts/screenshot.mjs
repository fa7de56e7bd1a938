// A picture of the playground for the README: the English example and its story for seed 7,
// taken in headless Chromium by the browser tests' harness.
//   node web/scripts/screenshot.mjs OUTPUT.png
import { changing, launch, openPlayground, serve } from '../test/harness.mjs';

const output = process.argv[2];
if (!output) {
  console.error('usage: node web/scripts/screenshot.mjs OUTPUT.png');
  process.exit(2);
}
const server = await serve();
const browser = await launch();
try {
  const page = await openPlayground(browser.defaultBrowserContext(), server.url);
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
