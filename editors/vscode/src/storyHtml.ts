// The page of the story view: the story (or the scenario's errors) and the seed that wrote it.
import type { StoryOutcome } from './story';

export function escapeHtml(text: string): string {
  return text
    .replace(/&/g, '&amp;')
    .replace(/</g, '&lt;')
    .replace(/>/g, '&gt;')
    .replace(/"/g, '&quot;')
    .replace(/'/g, '&#39;');
}

// A word for a POSIX shell: as it is when plain, else in single quotes.
export function shellWord(text: string): string {
  return /^[\w./=:+-]+$/.test(text) ? text : `'${text.replace(/'/g, `'\\''`)}'`;
}

// `fileName` is the scenario's name as shown to the user; `start` the block the story began at,
// if not the beginning; `nonce` allows the page's one script, which asks for another story
// (or one from the beginning) when its buttons are pressed.
export function storyPage(outcome: StoryOutcome, fileName: string, nonce: string, start?: string): string {
  const seed = String(outcome.seed);
  const from = start === undefined ? '' : ` --start=${shellWord(start)}`;
  const command = `plotwright --no-stats --seed ${seed}${from} ${shellWord(fileName)}`;
  const restart = start === undefined ? '' : `<span class="from">from ${escapeHtml(start)}</span>
  <button id="restart">From the beginning</button>`;
  let heading: string;
  let body: string;
  switch (outcome.kind) {
    case 'story':
      heading = '';
      body = `<pre class="story">${escapeHtml(outcome.text)}</pre>`;
      break;
    case 'errors':
      heading = '<p class="problem">The scenario has errors, so no story was written:</p>';
      body = `<pre class="story errors">${escapeHtml(outcome.text)}</pre>`;
      break;
    case 'failure':
      heading = '<p class="problem">No story:</p>';
      body = `<pre class="story errors">${escapeHtml(outcome.message)}</pre>`;
      break;
  }
  return `<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'; script-src 'nonce-${nonce}';">
<title>Story</title>
<style>
  body { font-family: var(--vscode-font-family); color: var(--vscode-foreground); padding: 0 1.5em; }
  header { display: flex; align-items: baseline; gap: 1em; flex-wrap: wrap; border-bottom: 1px solid var(--vscode-panel-border); }
  header .seed { font-family: var(--vscode-editor-font-family); }
  header .hint { opacity: 0.7; }
  .story { white-space: pre-wrap; font-family: var(--vscode-editor-font-family); font-size: var(--vscode-editor-font-size); line-height: 1.5; }
  .problem, .errors { color: var(--vscode-errorForeground); }
  button { color: var(--vscode-button-foreground); background: var(--vscode-button-background); border: none; padding: 0.3em 0.8em; cursor: pointer; }
  button:hover { background: var(--vscode-button-hoverBackground); }
</style>
</head>
<body>
<header>
  <h3>${escapeHtml(fileName)}</h3>
  <span class="seed">seed ${seed}</span>
  ${restart}
  <button id="another">Another story</button>
  <span class="hint">F5 writes another; <code>${escapeHtml(command)}</code> writes this one again.</span>
</header>
${heading}
${body}
<script nonce="${nonce}">
  const vscode = acquireVsCodeApi();
  document.getElementById('another').addEventListener('click', () => vscode.postMessage({ command: 'another' }));
  document.getElementById('restart')?.addEventListener('click', () => vscode.postMessage({ command: 'restart' }));
</script>
</body>
</html>
`;
}
