// The benchmark scenario that both web benchmarks time: written by the regular build's scenario
// writer (the build folder is the script's one argument) and read back as text.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { repo } from '../test/support.mjs';

export function largeScenario(script) {
  const build = process.argv[2];
  if (!build) {
    console.error(`usage: node web/bench/${script} BUILD`);
    process.exit(2);
  }
  const folder = mkdtempSync(join(tmpdir(), 'plotwright-web-bench-'));
  try {
    execFileSync(resolve(repo, build, 'bench/plotwright_make_bench_scenarios'), [folder]);
    return readFileSync(join(folder, 'large.vell'), 'utf8');
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}
