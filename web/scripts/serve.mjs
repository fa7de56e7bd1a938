// A static server for web/dist on the loopback address: the playground's `make playground`, and
// the browser tests' pages.
//   node web/scripts/serve.mjs [PORT]   serves until interrupted (PORT 8000 by default; 0: any)
import { createReadStream, existsSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { dirname, extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const dist = resolve(dirname(fileURLToPath(import.meta.url)), '../dist');
const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.png': 'image/png',
};

/** Serves web/dist on 127.0.0.1:`port`; `url` ends with a slash. */
export async function serve(port = 0) {
  const server = createServer((request, response) => {
    let path;
    try {
      path = normalize(join(dist, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    } catch {
      response.writeHead(400).end();
      return;
    }
    const file = path.endsWith(sep) ? join(path, 'index.html') : path;
    // Nothing outside dist, however the path is spelt.
    if (!file.startsWith(dist + sep) || !existsSync(file) || !statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'content-type': TYPES[extname(file)] ?? 'application/octet-stream' });
    createReadStream(file).pipe(response);
  });
  await new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', done);
  });
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const port = Number(process.argv[2] ?? 8000);
  if (!Number.isInteger(port) || port < 0 || port > 65535) {
    console.error(`serve: '${process.argv[2]}' is not a port number`);
    process.exit(2);
  }
  if (!existsSync(join(dist, 'index.html'))) {
    console.error('serve: web/dist is not built: run make web first');
    process.exit(1);
  }
  try {
    const { url } = await serve(port);
    console.log(`The Plotwright playground: ${url}  (Ctrl-C stops the server)`);
  } catch (error) {
    console.error(`serve: cannot listen on port ${port}: ${error.message} (make playground PORT=N)`);
    process.exit(1);
  }
}
