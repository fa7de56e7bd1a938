// The extension's webview pages in headless Chromium ($CHROMIUM), as VS Code shows them: the
// page's HTML loaded from a file, `acquireVsCodeApi` stubbed to record what the page posts, and
// a theme's variables set on the root as VS Code sets them.
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import * as path from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer, { type Browser, type Page } from 'puppeteer-core';
import { graphPage } from '../../src/graphHtml';

export const extensionRoot = path.resolve(__dirname, '../../..');

// VS Code's Dark Modern theme, as far as the pages use it.
const DARK_THEME = {
  '--vscode-font-family': '"Segoe WPC", "Segoe UI", sans-serif',
  '--vscode-editor-font-family': '"DejaVu Sans Mono", monospace',
  '--vscode-editor-font-size': '14px',
  '--vscode-foreground': '#cccccc',
  '--vscode-editor-background': '#1f1f1f',
  '--vscode-panel-border': '#2b2b2b',
  '--vscode-button-background': '#0078d4',
  '--vscode-button-foreground': '#ffffff',
  '--vscode-button-hoverBackground': '#026ec1',
  '--vscode-errorForeground': '#f85149',
};

export function launch(): Promise<Browser> {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--lang=en-GB'],
  });
}

// The graph view's page, its scripts read from the extension's folder as the webview reads them.
export function graphPageHtml(nonce = 'n0nce'): string {
  const file = (relative: string) => pathToFileURL(path.join(extensionRoot, relative)).href;
  return graphPage({
    nonce,
    vizScript: file('node_modules/@viz-js/viz/dist/viz-global.js'),
    viewScript: file('media/graphView.js'),
  });
}

// Opens `html` in a new page of `browser`; `posted` collects what the page sends the extension,
// `errors` what went wrong in it (a script the policy refused among them).
export async function openWebview(
  browser: Browser,
  html: string,
  size = { width: 900, height: 700 },
): Promise<{ page: Page; posted: () => Promise<unknown[]>; errors: string[] }> {
  const file = path.join(mkdtempSync(path.join(tmpdir(), 'plotwright-webview-')), 'page.html');
  writeFileSync(file, html);
  const page = await browser.newPage();
  const errors: string[] = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(message.text());
  });
  await page.setViewport(size);
  await page.evaluateOnNewDocument((theme: Record<string, string>) => {
    const posted: unknown[] = [];
    Object.assign(window, { posted, acquireVsCodeApi: () => ({ postMessage: (m: unknown) => posted.push(m) }) });
    document.addEventListener('DOMContentLoaded', () => {
      for (const [name, value] of Object.entries(theme)) document.documentElement.style.setProperty(name, value);
      document.body.style.background = 'var(--vscode-editor-background)';
    });
  }, DARK_THEME);
  await page.goto(pathToFileURL(file).href);
  return { page, posted: () => page.evaluate(() => (window as unknown as { posted: unknown[] }).posted), errors };
}
