// The graph view's page: draws the DOT the extension sends with Viz.js (loaded before this
// script as the global Viz) and tells the extension the line of a clicked block.
'use strict';
(function () {
  // A graph of more nodes than this is summed up rather than drawn: Graphviz's layout grows
  // faster than the graph, and it runs on the page's thread.
  const MAX_GRAPH_NODES = 400;
  // The nodes of the graph writer's DOT: "  s12 [label=...", "  b3 [", "  m1 [".
  const NODE_LINE = /^ {2}[sbm]\d+ \[/gm;

  const vscode = acquireVsCodeApi();
  const graph = document.getElementById('graph');
  const note = document.getElementById('note');
  const title = document.getElementById('title');
  let viz; // Viz.instance(), made on first use
  let drawn = ''; // the DOT on show, or being drawn

  graph.addEventListener('click', (event) => {
    const node = event.target instanceof Element ? event.target.closest('g.node') : null;
    const line = /(?:^|\s)line-(\d+)(?:\s|$)/.exec(node ? node.getAttribute('class') || '' : '');
    if (line) vscode.postMessage({ command: 'reveal', line: Number(line[1]) - 1 });
  });
  document.getElementById('coverage').addEventListener('click', () => {
    vscode.postMessage({ command: 'coverage' });
  });

  async function draw(message) {
    title.textContent = message.title;
    note.textContent = message.note;
    if (message.dot === drawn) {
      graph.classList.remove('stale');
      return;
    }
    drawn = message.dot;
    const nodes = (message.dot.match(NODE_LINE) || []).length;
    if (nodes > MAX_GRAPH_NODES) {
      graph.replaceChildren();
      note.textContent = `${nodes} blocks: more than the ${MAX_GRAPH_NODES} drawn here. ` +
        '`plotwright graph FILE | dot -Tsvg > graph.svg` draws them all.';
      return;
    }
    let svg;
    try {
      viz = viz || Viz.instance();
      svg = (await viz).renderSVGElement(message.dot);
    } catch (error) {
      note.textContent = `The graph cannot be drawn: ${error instanceof Error ? error.message : error}`;
      return;
    }
    if (drawn !== message.dot) return; // a newer graph came while this one was drawn
    graph.replaceChildren(svg);
    graph.classList.remove('stale');
  }

  window.addEventListener('message', (event) => {
    const message = event.data;
    if (message.type === 'graph') {
      void draw(message);
    } else if (message.type === 'stale') {
      graph.classList.add('stale');
    } else if (message.type === 'note') {
      drawn = '';
      graph.replaceChildren();
      note.textContent = message.note;
    }
  });
  vscode.postMessage({ command: 'ready' });
})();
