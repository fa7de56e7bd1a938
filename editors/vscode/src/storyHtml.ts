// The page of the story view: the story (or the scenario's errors) and the seed that wrote it.
import type { LineSource } from './story';
import type { StoryOutcome } from './story';

export function escapeHtml(text: string): string {
  return text
    .replace(/&/g, '&amp;')
    .replace(/</g, '&lt;')
    .replace(/>/g, '&gt;')
    .replace(/"/g, '&quot;')
    .replace(/'/g, '&#39;');
}

// The story's lines, each that a scenario line wrote leading to it (data-line, counted from 0).
function linkedLines(text: string, sources: readonly LineSource[]): string {
  const lines = text.split('\n');
  if (lines[lines.length - 1] === '') lines.pop(); // the final LF ends the last line
  return lines
    .map((line, i) => {
      const source = sources[i];
      const body = escapeHtml(line);
      if (source !== undefined && 'builtin' in source) {
        return `<span title="written by the built-in scene ${escapeHtml(source.builtin)}">${body}</span>`;
      }
      if (source === undefined || source.line === null) return body;
      return `<span class="linked" data-line="${source.line}" title="line ${source.line + 1}">${body}</span>`;
    })
    .join('\n');
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
      body = `<pre class="story">${
        outcome.sources === undefined ? escapeHtml(outcome.text) : linkedLines(outcome.text, outcome.sources)
      }</pre>`;
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
  .linked { cursor: pointer; }
  .linked:hover { background: var(--vscode-editor-hoverHighlightBackground); }
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
  <span class="hint">F5 writes another; <code>${escapeHtml(command)}</code> writes this one again.${
    outcome.kind === 'story' && outcome.sources !== undefined ? ' A click on a line goes to the line that wrote it.' : ''
  }</span>
</header>
${heading}
${body}
<script nonce="${nonce}">
  const vscode = acquireVsCodeApi();
  document.getElementById('another').addEventListener('click', () => vscode.postMessage({ command: 'another' }));
  document.getElementById('restart')?.addEventListener('click', () => vscode.postMessage({ command: 'restart' }));
  document.querySelector('.story').addEventListener('click', (event) => {
    const line = event.target.closest('[data-line]');
    if (line) vscode.postMessage({ command: 'reveal', line: Number(line.dataset.line) });
  });
</script>
</body>
</html>
`;
}
