// Builds web/dist from the engine module that the WebAssembly build wrote:
//   node scripts/build.mjs ENGINE.js
// The package: plotwright.js with its declarations, the engine module beside it, and the
// reference of the diagnostics' codes. The
// playground: index.html, playground.css and playground.js, one classic script holding the
// engine, the editor, the graph renderer, the studio worker and the examples, so that the page
// works from file:// and any static host.
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdirSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import * as esbuild from 'esbuild';

const web = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const dist = join(web, 'dist');
const engine = process.argv[2];
if (!engine) {
  console.error('usage: node scripts/build.mjs ENGINE.js');
  process.exit(2);
}

// Type-checks (and, for the package, compiles); the compiler's messages say what is wrong.
function typescript(...args) {
  try {
    execFileSync(process.execPath, [join(web, 'node_modules/typescript/bin/tsc'), ...args], {
      cwd: web,
      stdio: 'inherit',
    });
  } catch {
    process.exit(1);
  }
}

mkdirSync(dist, { recursive: true });
copyFileSync(engine, join(dist, 'plotwright-engine.js'));
// The diagnostics' codes, which the README names, go with the package.
copyFileSync(join(web, '..', 'docs', 'diagnostics.md'), join(dist, 'diagnostics.md'));
typescript('-p', 'tsconfig.json');
typescript('-p', 'playground/tsconfig.json');

// The package imports the engine from beside itself: in the bundle, from dist.
const engineBeside = {
  name: 'engine-beside',
  setup(build) {
    build.onResolve({ filter: /\/plotwright-engine\.js$/ }, () => ({
      path: join(dist, 'plotwright-engine.js'),
    }));
  },
};

const common = {
  bundle: true,
  format: 'iife',
  platform: 'browser',
  target: 'es2022',
  minify: true,
  legalComments: 'eof',
  // The engine module finds nothing beside itself: its WebAssembly is inlined.
  define: { 'import.meta.url': 'undefined' },
  // The engine module's code for node, which a browser never runs.
  external: ['fs', 'path', 'crypto', 'module', 'url', 'worker_threads'],
  logLevel: 'warning',
};

// The studio worker (checks, graph layout, stories, coverage), a script of its own that the
// page starts from a blob of its text: a worker from a file of its own would not start on a
// file:// page.
const worker = await esbuild.build({
  ...common,
  entryPoints: [join(web, 'playground/studio-worker.ts')],
  write: false,
  plugins: [engineBeside],
});
const workerSource = {
  name: 'studio-worker-source',
  setup(build) {
    build.onResolve({ filter: /^studio-worker-source$/ }, (args) => ({ path: args.path, namespace: 'worker' }));
    build.onLoad({ filter: /.*/, namespace: 'worker' }, () => ({
      contents: worker.outputFiles[0].text,
      loader: 'text',
    }));
  },
};

await esbuild.build({
  ...common,
  entryPoints: [join(web, 'playground/main.ts')],
  outfile: join(dist, 'playground.js'),
  loader: { '.vell': 'text', '.wasm': 'binary' },
  plugins: [engineBeside, workerSource],
});
for (const file of ['index.html', 'playground.css']) {
  copyFileSync(join(web, 'playground', file), join(dist, file));
}
