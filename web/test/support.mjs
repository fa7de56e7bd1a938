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

const STORY_OPTIONS = { '--seed': 'seed', '--count': 'count' };

/**
 * The golden cases of tests/cases (NAME.args, NAME.out, NAME.status; the scenario NAME.vell or
 * the Python expression NAME.recipe) that are story runs the package makes too: --seed N and
 * optionally --count N, --no-stats and --json, over one scenario file.
 */
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
      const args = existsSync(`${base}.args`) ? readFileSync(`${base}.args`, 'utf8') : '--seed 1 $FILE';
      const run = storyRun(args, base);
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

/**
 * A case's scenario: its file, or what its recipe makes. The recipes of all the cases are made
 * by one Python process, on the first call: one interpreter start instead of one a case.
 */
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
