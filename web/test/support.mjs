// What the web tests share: the repository's files, the command-line program, scratch folders
// and the examples of the language reference.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const web = resolve(dirname(fileURLToPath(import.meta.url)), '..');
export const repo = resolve(web, '..');
export const dist = join(web, 'dist');

export const EXAMPLES = ['the-lighthouse-keeper.vell', 'yoru-no-eki.vell', 'yoru-no-eki.sjis.vell'];

export function example(name) {
  return readFileSync(join(repo, 'examples', name));
}

/** Runs the plotwright program (PLOTWRIGHT) in `cwd`: its status and its output as text. */
export function cli(args, cwd = repo) {
  const program = process.env.PLOTWRIGHT;
  if (!program) throw new Error('PLOTWRIGHT must name the plotwright program');
  const run = spawnSync(program, args, { cwd, maxBuffer: 1 << 30 });
  if (run.error) throw run.error;
  return { status: run.status, stdout: run.stdout.toString('utf8'), stderr: run.stderr.toString('utf8') };
}

/** A folder that is removed when the test ends. */
export function scratch(t) {
  const folder = mkdtempSync(join(tmpdir(), 'plotwright-web-'));
  t.after(() => rmSync(folder, { recursive: true, force: true }));
  return folder;
}

/**
 * The run examples of docs/language.md, as tests/docs/check_examples.py reads them: a run
 * comment, the ```vell block right after it, then its ```story and ```vus blocks.
 */
export function languageExamples() {
  const lines = readFileSync(join(repo, 'docs/language.md'), 'utf8').split('\n');
  const examples = [];
  let comment = null; // the run comment waiting for its scenario
  let current = null; // the example whose expected blocks may follow
  for (let i = 0; i < lines.length; ++i) {
    const fence = /^(`{3,})([A-Za-z0-9_-]*)\s*$/.exec(lines[i]);
    if (!fence) {
      if (lines[i].trim() === '') continue;
      const run = /^<!--\s*run:(.*?)-->\s*$/.exec(lines[i]);
      comment = run ? { line: i + 1, text: run[1] } : null;
      current = null;
      continue;
    }
    let end = i + 1;
    while (end < lines.length && !new RegExp(`^\`{${fence[1].length},}\\s*$`).test(lines[end])) ++end;
    const text = lines.slice(i + 1, end).join('\n') + '\n';
    if (fence[2] === 'vell' && comment) {
      const [args, ...settings] = comment.text.split(';').map((part) => part.trim());
      current = { line: comment.line, args: args.split(/\s+/).filter(Boolean), settings, blocks: { vell: text } };
      examples.push(current);
    } else if ((fence[2] === 'story' || fence[2] === 'vus') && current) {
      current.blocks[fence[2]] = text;
    } else {
      current = null;
    }
    comment = null;
    i = end;
  }
  return examples;
}

/** A setting of a language example: "stats" gives true, "runs: 3" gives "3". */
export function setting(example, name) {
  for (const text of example.settings) {
    const [key, value] = text.split(':').map((part) => part.trim());
    if (key === name) return value ?? true;
  }
  return undefined;
}
