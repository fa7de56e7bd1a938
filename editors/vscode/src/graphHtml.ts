// The page of the graph view: the scene graph drawn by Graphviz in WebAssembly (Viz.js, shipped
// with the extension), under a Content-Security-Policy that lets in nothing but its two scripts.
import { escapeHtml } from './storyHtml';

export interface GraphPageSources {
  nonce: string;
  vizScript: string; // URI of @viz-js/viz's dist/viz-global.js
  viewScript: string; // URI of media/graphView.js
}

export function graphPage(sources: GraphPageSources): string {
  const { nonce } = sources;
  // 'wasm-unsafe-eval' lets Viz.js compile its WebAssembly; nothing may be fetched.
  const csp =
    `default-src 'none'; style-src 'unsafe-inline'; ` +
    `script-src 'nonce-${nonce}' 'wasm-unsafe-eval';`;
  return `<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="${escapeHtml(csp)}">
<title>Scene graph</title>
<style>
  body { font-family: var(--vscode-font-family); color: var(--vscode-foreground); margin: 0; padding: 0 1em; }
  header { display: flex; align-items: baseline; gap: 1em; flex-wrap: wrap; border-bottom: 1px solid var(--vscode-panel-border); }
  header h3 { margin: 0.6em 0; }
  #note { opacity: 0.8; flex: 1; }
  button { color: var(--vscode-button-foreground); background: var(--vscode-button-background); border: none; padding: 0.3em 0.8em; cursor: pointer; }
  button:hover { background: var(--vscode-button-hoverBackground); }
  /* Graphviz draws on white paper: its colours read the same in light and dark themes. */
  #graph { margin: 1em 0; overflow: auto; }
  #graph svg { display: block; max-width: 100%; height: auto; margin: 0 auto; border-radius: 4px; }
  #graph g.node[class*="line-"] { cursor: pointer; }
  #graph g.node[class*="line-"]:hover > :is(polygon, path, ellipse) { stroke-width: 2.5; }
  #graph.stale { opacity: 0.5; }
</style>
</head>
<body>
<header>
  <h3 id="title">Scene graph</h3>
  <span id="note">Drawing the graph…</span>
  <button id="coverage">Run Coverage</button>
</header>
<div id="graph"></div>
<script nonce="${nonce}" src="${escapeHtml(sources.vizScript)}"></script>
<script nonce="${nonce}" src="${escapeHtml(sources.viewScript)}"></script>
</body>
</html>
`;
}
