// The npm package as a user gets it: packed, installed into a scratch project, used from node,
// and held to the command-line program byte for byte.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { caseScenario, cli, example, languageExamples, repo, scratch, storyCases, textOr, web } from './support.mjs';

let project;
let Scenario;
let ScenarioError;
let packed;

function npm(args, cwd) {
  return execFileSync('npm', [...args, '--no-audit', '--no-fund', '--loglevel=error'], { cwd, encoding: 'utf8' });
}

// The package as `import ... from 'plotwright'` finds it in a scratch project.
before(async () => {
  project = mkdtempSync(join(tmpdir(), 'plotwright-package-'));
  packed = JSON.parse(npm(['pack', '--json', '--pack-destination', project], web))[0];
  writeFileSync(join(project, 'package.json'), '{"name": "scratch", "private": true, "type": "module"}\n');
  npm(['install', '--offline', join(project, packed.filename)], project);
  writeFileSync(join(project, 'use.mjs'), "export * from 'plotwright';\n");
  ({ Scenario, ScenarioError } = await import(pathToFileURL(join(project, 'use.mjs')).href));
});

after(() => rmSync(project, { recursive: true, force: true }));

test('the tarball holds the module, its declarations, the engine and the docs it names, nothing else', () => {
  const files = packed.files.map((f) => f.path).sort();
  assert.deepEqual(files, [
    'README.md',
    'dist/diagnostics.md',
    'dist/plotwright-engine.js',
    'dist/plotwright.d.ts',
    'dist/plotwright.js',
    'package.json',
  ]);
  const readme = readFileSync(join(web, 'README.md'), 'utf8');
  for (const [, named] of readme.matchAll(/`(dist\/[\w.-]+)`/g)) assert.ok(files.includes(named), named);
  // All rights reserved: npm refuses to publish it by accident.
  const manifest = JSON.parse(readFileSync(join(project, 'node_modules/plotwright/package.json'), 'utf8'));
  assert.equal(manifest.private, true);
  assert.equal(manifest.license, 'UNLICENSED');
});

test("the README's lines type-check against the declarations", () => {
  writeFileSync(
    join(project, 'use.ts'),
    "import { Scenario } from 'plotwright';\n" +
      "const s = await Scenario.compile('title A\\nHello.\\n');\n" +
      'const text: string = s.story({ seed: 7 });\n' +
      'const more: string[] = s.stories({ count: 2, seed: 7 });\n' +
      "const line: number = s.diagnostics[0]?.line ?? 0;\n" +
      "const kept: string = (await Scenario.compile('', { statistics: '' })).statistics ?? '';\n" +
      'console.log(text, more, line, kept);\n',
  );
  execFileSync(
    process.execPath,
    [join(web, 'node_modules/typescript/bin/tsc'), '--noEmit', '--strict', '--target', 'es2022',
      '--module', 'nodenext', '--moduleResolution', 'nodenext', 'use.ts'],
    { cwd: project, encoding: 'utf8' },
  );
});

test("the graph, the coverage report and a story with its sources are the command line's", async () => {
  const file = 'examples/the-lighthouse-keeper.vell';
  const scenario = await Scenario.compile(example('the-lighthouse-keeper.vell'));
  for (const format of ['dot', 'mermaid']) {
    const expected = cli(['graph', '--format', format, file]).stdout;
    assert.equal(scenario.graph({ format, title: 'the-lighthouse-keeper.vell' }), expected, format);
  }
  const report = cli(['coverage', '--format', 'json', '--no-stats', '--runs', '200', '--seed', '9', file]);
  assert.equal(scenario.coverage({ runs: 200, seed: 9, file }), report.stdout);
  assert.throws(() => scenario.coverage({ runs: 0 }), RangeError);
  assert.throws(() => scenario.graph({ format: 'svg' }), RangeError);
  // With their lines, the nodes are the same but for a class naming each block's line; the
  // graph beside a coverage report is shaded by the report's own stories.
  const unlined = (dot) => dot.replace(/, class="line-\d+"/g, '');
  const lined = scenario.graph({ title: 'the-lighthouse-keeper.vell', lines: true });
  assert.equal(unlined(lined), cli(['graph', file]).stdout);
  assert.match(lined, /s\d+ \[label="Gulls", shape=box, style="rounded", class="line-\d+"\]/);
  const both = scenario.coverageAndGraph({ runs: 200, seed: 9, file });
  assert.equal(both.report, report.stdout);
  const shaded = cli(['graph', '--no-stats', '--coverage', '200', '--seed', '9', file]).stdout;
  assert.equal(unlined(both.graph).replace(/"[^"]*the-lighthouse-keeper.vell/g, '"F'),
    shaded.replace(/"[^"]*the-lighthouse-keeper.vell/g, '"F'));
  // A story with its sources is the command line's story, trace and --start.
  const lines = example('the-lighthouse-keeper.vell').toString('utf8').split('\n');
  for (const start of ['', 'Gulls']) {
    const args = ['--json', '--trace', '--no-stats', '--seed', '4', ...(start ? ['--start', start] : []), file];
    const expected = JSON.parse(cli(args).stdout);
    const story = scenario.storyWithSources({ seed: 4, start });
    assert.equal(story.text, expected.text, start);
    assert.deepEqual(story.trace, expected.trace, start);
    assert.equal(story.lines.map((l) => `${l.text}\n`).join(''), story.text);
    // Every line has one origin: a scenario line, or a built-in scene's own line.
    assert.ok(story.lines.every((l) => (l.line === undefined) !== (l.scene === undefined)));
    assert.ok(story.lines.every((l) => l.line === undefined || l.line <= lines.length));
  }
  assert.throws(() => scenario.storyWithSources({ seed: 1, start: 'Nowhere' }), ScenarioError);
});

test("the statistics are the command line's file after the same runs", async (t) => {
  const folder = scratch(t);
  copyFileSync(join(web, '../examples/yoru-no-eki.vell'), join(folder, 'story.vell'));
  const scenario = await Scenario.compile(readFileSync(join(folder, 'story.vell'), 'utf8'), { statistics: '' });
  const runs = [[3, 1], [3, 1], [9, 4], [3, 1], [100, 1]];
  for (const [seed, count] of runs) {
    const expected = cli(['--seed', String(seed), '--count', String(count), 'story.vell'], folder);
    assert.equal(scenario.stories({ seed, count }).join('\f\n'), expected.stdout, `seed ${seed}`);
  }
  const saved = readFileSync(join(folder, 'story.vus'), 'utf8');
  assert.equal(scenario.statistics, saved);
  // A scenario without a choice anywhere neither reads nor writes them.
  const plain = await Scenario.compile('title A\nHello.\n', { statistics: 'not statistics' });
  plain.story({ seed: 1 });
  assert.equal(plain.statistics, 'not statistics');
  // A scenario compiled with them goes on where the command line goes on.
  const later = await Scenario.compile(example('yoru-no-eki.vell'), { statistics: saved });
  assert.equal(later.story({ seed: 3 }), cli(['--seed', '3', 'story.vell'], folder).stdout);
  assert.equal(later.statistics, readFileSync(join(folder, 'story.vus'), 'utf8'));
});

test("the language reference's examples tell the stories it shows", async () => {
  const examples = languageExamples();
  assert.ok(examples.length >= 40, `only ${examples.length} examples found`);
  for (const e of examples) {
    const seed = Number(e.args[e.args.indexOf('--seed') + 1]);
    const scenario = await Scenario.compile(e.vell, e.stats ? { statistics: '' } : {});
    let told = '';
    for (let run = 0; run < e.runs; ++run) {
      try {
        told += scenario.story({ seed });
      } catch (error) {
        assert.ok(error instanceof ScenarioError, `docs/language.md:${e.line}: ${error}`);
        assert.equal(error.status, e.status, `docs/language.md:${e.line}`);
        told += `${error.message}\n`;
      }
    }
    assert.equal(told, e.story, `docs/language.md:${e.line}`);
    if (e.vus !== undefined) assert.equal(scenario.statistics, e.vus, `docs/language.md:${e.line}`);
  }
});

test("the golden cases' story runs print what the package tells", async () => {
  for (const c of storyCases()) {
    const statistics = textOr(`${c.base}.vus.before`);
    const scenario = await Scenario.compile(caseScenario(c), c.stats ? { statistics } : {});
    const status = Number(textOr(`${c.base}.status`, '0'));
    const out = textOr(`${c.base}.out`);
    let stories;
    try {
      stories = scenario.stories({ seed: c.seed, count: c.count });
    } catch (error) {
      // A seed or count the command line refuses as a usage error, the package as a RangeError.
      if (error instanceof RangeError && status === 2) continue;
      assert.equal(error.status, status, c.name);
      if (status === 1) assert.equal(`${error.message}\n`, out, c.name);
      continue;
    }
    assert.equal(status, 0, c.name);
    // --json writes each story's text as it is; printed, it gets a final line end.
    const printed = c.json
      ? out.split('\n').filter(Boolean).map((line) => JSON.parse(line).text.replace(/([^\n])$/, '$1\n'))
      : out.split('\f\n');
    assert.deepEqual(stories, printed, c.name);
    // A story cut short is noted as the command line notes it.
    const cut = [...textOr(`${c.base}.err`).matchAll(/^plotwright: note: (story \d+ was cut short .*)$/gm)].map((m) => m[1]);
    assert.deepEqual(scenario.notes, cut, c.name);
  }
});

test('the runs of the table every front end shares print what the program prints', async (t) => {
  const table = readFileSync(join(repo, 'tests/frontends/same_story.txt'), 'utf8');
  const runs = table.split('\n').filter((line) => line.trim() && !line.startsWith('#'));
  assert.ok(runs.length > 0);
  for (const line of runs) {
    const [path, seed, count, kept] = line.trim().split(/\s+/);
    const folder = scratch(t);
    copyFileSync(join(repo, path), join(folder, 'story.vell'));
    const stats = kept === 'kept' ? [] : ['--no-stats'];
    const printed = cli(['--seed', seed, '--count', count, ...stats, 'story.vell'], folder).stdout;
    const scenario = await Scenario.compile(readFileSync(join(repo, path)), kept === 'kept' ? { statistics: '' } : {});
    let told;
    try {
      told = scenario.stories({ seed: Number(seed), count: Number(count) }).join('\f\n');
    } catch (error) {
      told = `${error.message}\n`;
    }
    assert.equal(told, printed, line);
    if (kept === 'kept') assert.equal(scenario.statistics, readFileSync(join(folder, 'story.vus'), 'utf8'), line);
  }
});

test('the diagnostics are what plotwright check reports', async (t) => {
  const folder = scratch(t);
  const scenarios = [
    ...['the-lighthouse-keeper.vell', 'yoru-no-eki.vell', 'yoru-no-eki.sjis.vell'].map((name) => example(name)),
    ...languageExamples().map((e) => e.vell),
    'title Café ☕\nscene\nendless rain\n{Nowhere}\nselect Road\nMarkt\n\n<%gold>=10>\n[%gold=1] [x=2]\n',
  ];
  for (const text of scenarios) {
    writeFileSync(join(folder, 'story.vell'), text);
    const expected = JSON.parse(cli(['check', '--format', 'json', 'story.vell'], folder).stdout);
    const scenario = await Scenario.compile(text);
    assert.deepEqual(scenario.diagnostics, expected.map(({ file, ...rest }) => rest), String(text));
  }
});

test('a scenario that tells no story throws what the command line shows', async (t) => {
  const folder = scratch(t);
  // The compile error is printed as the story; the character Shift-JIS lacks is refused on stderr.
  const cases = [
    ['broken.vell', 'title A\n{Road}\nselect Road\nMarkt\n', 'V101', (s) => s.story({ seed: 1 }), 'stdout', ''],
    ['faces.vell', 'title A\nA face 😀.\n', 'V001', (s) => s.stories({ count: 2 }), 'stderr', 'plotwright: faces.vell: '],
  ];
  for (const [name, text, code, tell, stream, prefix] of cases) {
    writeFileSync(join(folder, name), text);
    const shown = cli(['--no-stats', '--seed', '1', name], folder);
    const scenario = await Scenario.compile(text);
    assert.equal(scenario.diagnostics[0].code, code);
    assert.throws(() => tell(scenario), (e) => e instanceof ScenarioError &&
      e.status === shown.status && `${prefix}${e.message}\n` === shown[stream]);
  }
});

test('bad arguments and stories past 64 MiB are refused at once, and a disposed scenario tells nothing', async () => {
  const long = await Scenario.compile(`title A\n${`${'x'.repeat(4000)}\n`.repeat(80)}`);
  assert.throws(() => long.stories({ count: 7000, seed: 1 }),
    (e) => e instanceof RangeError && /^7000 stories are more than .* \(64 MiB\)/.test(e.message));
  assert.equal(long.stories({ count: 3, seed: 1 }).length, 3);
  // The engine goes on: a scenario compiled after the refusal tells its story.
  const scenario = await Scenario.compile('title A\nHello.\n');
  assert.match(scenario.story({ seed: 1 }), /Hello/);
  assert.throws(() => scenario.story({ seed: 4294967296 }), RangeError);
  assert.throws(() => scenario.stories({ count: 0, seed: 1 }), RangeError);
  assert.throws(() => scenario.story({ seed: '7' }), TypeError);
  assert.throws(() => scenario.stories({ count: '2' }), TypeError);
  await assert.rejects(Scenario.compile(42), TypeError);
  assert.equal(scenario.statistics, undefined);
  scenario.dispose();
  assert.throws(() => scenario.story(), /disposed/);
});
