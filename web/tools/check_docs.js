// Writes check-docs.js, the explanation of every check that the page shows
// beside a failure, taken from docs/checks.md when the page is built: for
// each check, its row of the tables (the line it concerns, the message, the
// meaning), the other paragraphs of its section, and the usual mistakes
// that give it. The page carries them, so it explains offline.
//
//   node check_docs.js <docs/checks.md> <output>
'use strict';

const fs = require('fs');
const path = require('path');

// Returns the cells of a table row ("| a | `b | c` |"): split at the bars
// outside inline code, each trimmed.
function cellsOf(row) {
  const cells = [];
  let cell = '';
  let inCode = false;
  for (const character of row.trim().replace(/^\||\|$/g, '')) {
    if (character === '`') inCode = !inCode;
    if (character === '|' && !inCode) {
      cells.push(cell.trim());
      cell = '';
    } else {
      cell += character;
    }
  }
  cells.push(cell.trim());
  return cells;
}

// Returns the sections of markdown, split at its "## " headings: [{ heading,
// tables: [{ header: [cells], rows: [[cells]] }], paragraphs: [text] }]
// (a list item is a paragraph of its own).
function sectionsOf(markdown) {
  const sections = [];
  let section = null;
  let paragraph = [];
  const endParagraph = () => {
    if (section !== null && paragraph.length > 0) section.paragraphs.push(paragraph.join(' '));
    paragraph = [];
  };
  for (const line of markdown.split('\n')) {
    if (line.startsWith('## ')) {
      endParagraph();
      section = { heading: line.slice(3).trim(), tables: [], paragraphs: [] };
      sections.push(section);
    } else if (section === null) {
      continue;
    } else if (line.startsWith('|')) {
      endParagraph();
      const cells = cellsOf(line);
      const last = section.tables[section.tables.length - 1];
      if (cells.every((cell) => /^-+$/.test(cell))) continue;
      if (last === undefined || last.closed) section.tables.push({ header: cells, rows: [], closed: false });
      else last.rows.push(cells);
    } else {
      if (section.tables.length > 0) section.tables[section.tables.length - 1].closed = true;
      if (line.trim() === '') endParagraph();
      else if (/^\s*[-*] /.test(line)) {
        endParagraph();
        paragraph.push(line.trim());
      } else {
        paragraph.push(line.trim());
      }
    }
  }
  endParagraph();
  return sections;
}

// Returns the explanations in markdown (docs/checks.md) by check number:
// { <number>: { section (its heading), line (the table's "Line" cell, or
// null), message, meaning, paragraphs (the section's others), mistakes:
// [{ mistake, check }] } }. Inline code stays marked with backquotes.
function extract(markdown) {
  const checks = {};
  const sections = sectionsOf(markdown);
  for (const section of sections) {
    for (const table of section.tables) {
      if (table.header[0] !== '#') continue;
      const column = (name) => table.header.indexOf(name);
      for (const row of table.rows) {
        checks[row[0]] = {
          section: section.heading,
          line: column('Line') < 0 ? null : row[column('Line')],
          message: row[column('Message')],
          meaning: row[column('Meaning')],
          paragraphs: section.paragraphs,
          mistakes: [],
        };
      }
    }
  }
  for (const section of sections) {
    for (const table of section.tables) {
      if (table.header[0] !== 'Mistake') continue;
      for (const [mistake, check] of table.rows) {
        // Numbers inside inline code are examples of input, not checks.
        const numbers = new Set(check.replace(/`[^`]*`/g, '').match(/\b\d+\b/g) || []);
        for (const number of numbers) {
          if (checks[number] !== undefined) checks[number].mistakes.push({ mistake, check });
        }
      }
    }
  }
  return checks;
}

// Writes the page's script from the command line's arguments. Returns the
// exit status.
function main(argv) {
  const [input, output] = argv;
  if (output === undefined) {
    console.error('usage: node check_docs.js <docs/checks.md> <output>');
    return 1;
  }
  const checks = extract(fs.readFileSync(input, 'utf8'));
  fs.mkdirSync(path.dirname(output), { recursive: true });
  fs.writeFileSync(output, '// The explanation of every check, from docs/checks.md (made by tools/check_docs.js).\n' +
                   'var ZobnikariCheckDocs = ' + JSON.stringify(checks, null, 1) + ';\n');
  return 0;
}

if (require.main === module) process.exitCode = main(process.argv.slice(2));

module.exports = { extract };
