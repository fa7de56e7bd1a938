// What the web tests share: the repository's files, the command-line program, scratch folders
// and the examples of the language reference.
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const web = resolve(dirname(fileURLToPath(import.meta.url)), '..');
export const repo = resolve(web, '..');
export const dist = join(web, 'dist');

export function example(name) {
  return readFileSync(join(repo, 'examples', name));
}

/** A file's text, or `missing` when there is no such file (a golden case's optional parts). */
export function textOr(file, missing = '') {
  return existsSync(file) ? readFileSync(file, 'utf8') : missing;
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

// The run examples of docs/language.md, as tests/docs/check_examples.py reads them (it lists
// them): { line, args, status, stats, runs, vell, story, vus }, the last two the expected blocks.
export function languageExamples() {
  const script = join(repo, 'tests/docs/check_examples.py');
  return JSON.parse(execFileSync('python3', [script, '--list', join(repo, 'docs/language.md')],
    { encoding: 'utf8', maxBuffer: 1 << 30 }));
}

const STORY_OPTIONS = { '--seed': 'seed', '--count': 'count' };

// The golden cases of tests/cases (NAME.args, NAME.out, NAME.status; the scenario NAME.vell or
// the Python expression NAME.recipe) that are story runs the package makes too: --seed N and
// optionally --count N, --no-stats and --json, over one scenario file.
export function storyCases() {
  const root = join(repo, 'tests/cases');
  const cases = [];
  // Subject folders only: the runner, its README and its own checks (_runner) sit beside them.
  const groups = existsSync(root) ? readdirSync(root, { withFileTypes: true }) : [];
  for (const group of groups.filter((g) => g.isDirectory() && !/^[._]/.test(g.name))) {
    const names = new Set(readdirSync(join(root, group.name))
      .filter((f) => /\.(args|vell|recipe)$/.test(f)).map((f) => f.replace(/\.[^.]+$/, '')));
    for (const name of names) {
      const base = join(root, group.name, name);
      // A case without a command line is told with --seed 1, as the runner tells it.
      const run = storyRun(textOr(`${base}.args`, '--seed 1 $FILE'), base);
      if (run) cases.push({ name: `${group.name}/${name}`, base, ...run });
    }
  }
  return cases;
}

function storyRun(argsText, base) {
  const run = { count: 1, stats: true, json: false, file: undefined };
  const args = argsText.trim().split(/\s+/);
  for (let i = 0; i < args.length; ++i) {
    if (args[i] in STORY_OPTIONS) {
      const value = args[++i];
      if (!/^[0-9]+$/.test(value ?? '')) return null;  // a usage error, the command line's own
      run[STORY_OPTIONS[args[i - 1]]] = Number(value);
    }
    else if (args[i] === '--no-stats') run.stats = false;
    else if (args[i] === '--json') run.json = true;
    // Only the case's own scenario or an example: not standard input, a device or a folder.
    else if (!/^\$(FILE|ROOT\/)/.test(args[i]) || run.file !== undefined) return null;
    else run.file = args[i].replace('$FILE', `${base}.vell`).replace('$ROOT', repo);
  }
  return run.seed === undefined || run.file === undefined ? null : run;
}

// A case's scenario: its file, or what its recipe makes. The recipes of all the cases are made
// by one Python process, on the first call: one interpreter start instead of one a case.
let recipeScenarios = null;
export function caseScenario(c) {
  if (existsSync(c.file) || !existsSync(`${c.base}.recipe`)) return readFileSync(c.file);
  if (recipeScenarios === null) {
    const bases = storyCases().map((x) => x.base).filter((base) => existsSync(`${base}.recipe`));
    const made = execFileSync('python3', ['-c', MAKE_RECIPES], {
      input: JSON.stringify(bases.map((base) => readFileSync(`${base}.recipe`, 'utf8'))),
      maxBuffer: 1 << 30,
    });
    recipeScenarios = new Map(JSON.parse(made).map((text, i) => [bases[i], Buffer.from(text, 'base64')]));
  }
  return recipeScenarios.get(c.base);
}

// Reads a JSON array of recipes (Python expressions giving text or bytes, evaluated as the
// golden cases' runner does) and writes the array of what they give, each as base64.
const MAKE_RECIPES = `import base64, json, sys
def make(recipe):
    made = eval(recipe, {"__builtins__": {}, "range": range, "str": str})
    return made.encode() if isinstance(made, str) else made
print(json.dumps([base64.b64encode(make(r)).decode() for r in json.load(sys.stdin)]))`;
