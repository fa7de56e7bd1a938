// Renders the graph view's page as VS Code shows it (dark theme) in headless Chromium, with the
// graph of SCENARIO from PLOTWRIGHT's language server shaded by 1,000 stories, into OUT.
//   node scripts/graph-screenshot.mjs PLOTWRIGHT SCENARIO OUT   (after npm run compile)
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import * as path from 'node:path';
import { pathToFileURL } from 'node:url';

const require = createRequire(import.meta.url);
const { request } = require('../out/test/lsp.js');
const { graphPageHtml, launch, openWebview } = require('../out/test/webviews/page.js');
const { GRAPH_REQUEST, graphNote, graphParams } = require('../out/src/graph.js');

const [program, scenario, out] = process.argv.slice(2);
if (out === undefined) {
  console.error('usage: graph-screenshot.mjs PLOTWRIGHT SCENARIO OUT');
  process.exit(2);
}
const uri = pathToFileURL(path.resolve(scenario)).href;
const coverage = { count: 1000, seed: 1 };
const result = await request(program, uri, readFileSync(scenario, 'utf8'), GRAPH_REQUEST, graphParams(uri, coverage));
process.env.CHROMIUM ??= '/usr/bin/chromium';
const browser = await launch();
try {
  const { page, errors } = await openWebview(browser, graphPageHtml(), { width: 960, height: 760 });
  const message = { type: 'graph', title: path.basename(scenario), dot: result.dot, note: graphNote(result, coverage) };
  await page.waitForFunction(() => window.posted.length > 0);
  await page.evaluate((m) => window.postMessage(m, '*'), message);
  await page.waitForSelector('#graph svg');
  await page.screenshot({ path: out });
  if (errors.length > 0) throw new Error(errors.join('\n'));
} finally {
  await browser.close();
}
