// Mutation testing of chosen lines: applies each mutant of a list, one at a
// time, to a copy of the sources, builds the copy and runs its fast tests
// (all but the hostile inputs, memcheck and the configure test), and says
// which test killed it or that it lived. The worktree itself is never
// changed.
//
//   node tests/mutants.js <list> [--preset release] [--tests <regex>] [--only <text>]
//
// The list (tests/mutants.txt) holds one block per mutant:
//   @ <file> <what the mutant does>
//   - <text that stands once in the file>
//   + <its replacement; nothing after the + deletes the text>
//   = <why the mutant changes nothing a test can see>  (optional: an equivalent one)
//   only <preset>[,<preset>...]  (optional: the builds that compile the file)
// In a text, {NL} stands for a line end. Blocks are separated by blank lines; lines that begin with # are comments.
// Exits 1 when a mutant without a "=" line lives, when a "=" one is killed,
// or when a text is not found once.
'use strict';

const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const kRoot = path.resolve(__dirname, '..');
const kExcluded = '^(Inputs/Hostile|Memcheck|configure\\.)';

// Returns the mutants of the list's text.
function parseList(text) {
  const mutants = [];
  for (const block of text.split(/\n\s*\n/)) {
    const lines = block.split('\n').filter((line) => line !== '' && !line.startsWith('#'));
    if (lines.length === 0) continue;
    const head = /^@ (\S+) (.+)$/.exec(lines[0]);
    const from = lines.find((line) => line.startsWith('- '));
    const to = lines.find((line) => line === '+' || line.startsWith('+ '));
    if (head === null || from === undefined || to === undefined) {
      throw new Error(`a mutant needs "@ file what", "- text" and "+ text":\n${block}`);
    }
    const why = lines.find((line) => line.startsWith('= '));
    const only = lines.find((line) => line.startsWith('only '));
    mutants.push({
      file: head[1],
      what: head[2],
      from: from.slice(2).replaceAll('{NL}', '\n'),
      to: to.slice(2).replaceAll('{NL}', '\n'),
      equivalent: why === undefined ? null : why.slice(2),
      presets: only === undefined ? null : only.slice(5).split(','),
    });
  }
  return mutants;
}

// Runs command in folder; returns its status and output.
function run(command, folder) {
  const result = spawnSync(command[0], command.slice(1), {
    cwd: folder,
    encoding: 'utf8',
    maxBuffer: 1 << 28,
    env: { ...process.env, ZOBNIKARI_WERROR: 'OFF' },
  });
  return { status: result.status, output: `${result.stdout}${result.stderr}` };
}

// Copies the files that Git tracks into folder, afresh.
function copySources(folder) {
  fs.rmSync(folder, { recursive: true, force: true });
  const listed = run(['git', 'ls-files', '-z'], kRoot);
  if (listed.status !== 0) throw new Error(`git ls-files failed:\n${listed.output}`);
  for (const name of listed.output.split('\0').filter((n) => n !== '')) {
    fs.mkdirSync(path.dirname(path.join(folder, name)), { recursive: true });
    fs.copyFileSync(path.join(kRoot, name), path.join(folder, name));
  }
}

// Builds the copy and runs its tests; returns null when they pass, the name
// of the first failing test, or "not built".
function buildAndTest(source, options) {
  const built = run(['cmake', '--build', '--preset', options.preset], source);
  if (built.status !== 0) return { verdict: 'not built', output: built.output };
  const command = ['ctest', '--preset', options.preset, '-j2', '--timeout', '300', '-E', kExcluded];
  if (options.tests !== null) command.push('-R', options.tests);
  const tested = run(command, source);
  if (tested.status === 0) return { verdict: null, output: tested.output };
  const failed = /^\s*\d+ - (\S+) \(/m.exec(tested.output.split('The following tests FAILED:')[1] || '');
  return { verdict: failed === null ? 'tests failed' : failed[1], output: tested.output };
}

// Runs every mutant; returns the process's exit status.
function main(argv) {
  const options = { list: null, preset: 'release', tests: null, only: null };
  for (let i = 0; i < argv.length; ++i) {
    if (argv[i] === '--preset') options.preset = argv[++i];
    else if (argv[i] === '--tests') options.tests = argv[++i];
    else if (argv[i] === '--only') options.only = argv[++i];
    else options.list = argv[i];
  }
  if (options.list === null) {
    console.error('usage: node tests/mutants.js <list> [--preset release] [--tests <regex>] [--only <text>]');
    return 2;
  }
  const mutants = parseList(fs.readFileSync(options.list, 'utf8')).filter(
      (m) => (options.only === null || `${m.file} ${m.what}`.includes(options.only)) &&
          (m.presets === null || m.presets.includes(options.preset)));
  const source = path.join(kRoot, 'build', `mutants-${options.preset}`);
  copySources(source);
  const configured = run(['cmake', '--preset', options.preset], source);
  if (configured.status !== 0) throw new Error(`configure failed:\n${configured.output}`);
  const clean = buildAndTest(source, options);
  if (clean.verdict !== null) throw new Error(`the unchanged sources fail:\n${clean.output}`);

  let wrong = 0;
  const counts = { killed: 0, alive: 0, 'not built': 0 };
  for (const mutant of mutants) {
    const file = path.join(source, mutant.file);
    const original = fs.readFileSync(path.join(kRoot, mutant.file), 'utf8');
    const found = original.split(mutant.from).length - 1;
    let verdict;
    if (found !== 1) {
      verdict = `text found ${found} times`;
      ++wrong;
    } else {
      fs.writeFileSync(file, original.replace(mutant.from, () => mutant.to));
      verdict = buildAndTest(source, options).verdict;
      fs.writeFileSync(file, original);
      if (verdict === 'not built') ++counts['not built'];
      else if (verdict === null) ++counts.alive;
      else ++counts.killed;
      if ((verdict === null) !== (mutant.equivalent !== null) && verdict !== 'not built') ++wrong;
    }
    let shown = `killed by ${verdict}`;
    if (verdict === null) shown = mutant.equivalent !== null ? 'alive (equivalent)' : 'ALIVE';
    if (verdict === 'not built' || found !== 1) shown = verdict;
    console.log(`${mutant.file}: ${mutant.what}: ${shown}`);
  }
  console.log(`${mutants.length} mutants: ${counts.killed} killed, ${counts.alive} alive, ` +
              `${counts['not built']} not built; ${wrong} not as the list says`);
  return wrong === 0 ? 0 : 1;
}

process.exitCode = main(process.argv.slice(2));
