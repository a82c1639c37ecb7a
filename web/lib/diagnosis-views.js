// The parts of a diagnosis as the page draws them, a page of a list at a
// time: the defects, each with its file, line, check and message; the answer
// blocks with their scores, ceilings and shares; a block's races as the
// chart's table; the change against the last run by test case; and the test
// data's test cases. Each returns elements from the worker's data and the
// page's words; buttons carry the index of what they choose (data-index).
(function (root, factory) {
  root.ZobnikariDiagnosisViews = factory(root.ZobnikariViews, root.ZobnikariPoints, root.ZobnikariMessages);
})(this, function (views, points, messages) {
  'use strict';

  const element = views.element;
  const kCase = messages.kCaseFields;
  const kCaseWords = messages.kCaseWords;

  // Returns a button that chooses item index, labelled label for screen
  // readers, pressed when chosen.
  function chooser(className, index, label, chosen, ...children) {
    const button = element('button', className, ...children);
    button.type = 'button';
    button.dataset.index = String(index);
    if (label) button.setAttribute('aria-label', label);
    button.setAttribute('aria-pressed', String(chosen));
    return button;
  }

  // Returns a table row: header (text or a node) as its row header, then
  // cells, each a text or a <td>.
  function row(header, ...cells) {
    const th = element('th', '', header);
    th.scope = 'row';
    return element('tr', '', th, ...cells.map((cell) => (typeof cell === 'string' ? element('td', '', cell) : cell)));
  }

  // Returns the list items of findings[from, to) (the worker's), the one at
  // selected chosen; words { at(finding) (its file, line and check), official
  // (the first's mark), and views.sliceNodes's words }.
  function findingItems(findings, from, to, selected, words) {
    const items = [];
    for (let i = from; i < to; ++i) {
      const finding = findings[i];
      const button = chooser('finding', i, '', i === selected, element('span', 'where', words.at(finding)));
      if (i === 0) button.append(' ', element('span', 'official', words.official));
      button.append(element('span', 'message', ...views.sliceNodes(finding.message, words)));
      items.push(element('li', '', button));
    }
    return items;
  }

  // Returns the rows of blocks[from, to) (the result's records): each
  // block's number (a button for a block with races, or a rejected one whose
  // first defect is listed: firstFinding(block) gives its index, or -1), its
  // line and test case, then its score, ceiling and share, or that it was
  // rejected with its defects; chosen is the index of the chosen block;
  // words { number(value), share(value), rejected(defects), choose(index),
  // defects(index) }.
  function blockRows(blocks, from, to, chosen, firstFinding, words) {
    const rows = [];
    for (let i = from; i < to; ++i) {
      const block = points.blockAt(blocks, i);
      const ordinal = String(i + 1);
      let header = ordinal;
      if (block.races >= 0) header = chooser('block', i, words.choose(i + 1), i === chosen, ordinal);
      else if (!block.accepted && firstFinding(block) >= 0) {
        header = chooser('block defects', i, words.defects(i + 1), false, ordinal);
      }
      const figures = block.accepted
        ? [words.number(block.score), words.number(block.ceiling), block.share === null ? '' : words.share(block.share)]
        : [Object.assign(element('td', 'rejected', words.rejected(block.defects)), { colSpan: 3 })];
      const made = row(header, String(block.line), String(block.id), ...figures);
      if (i === chosen) made.className = 'chosen';
      rows.push(made);
    }
    return rows;
  }

  // Returns the rows of races[from, to) (points.racesOf's) with m: the race,
  // its points, the race's ceiling, its newcomers and m; words { number }.
  function raceRows(races, from, to, m, words) {
    const rows = [];
    for (let i = from; i < to; ++i) {
      rows.push(row(String(i + 1), words.number(races.points[i]), words.number(races.ceiling),
                    String(races.newcomers[i]), String(m)));
    }
    return rows;
  }

  // Returns the rows of cases[from, to) (runs.compare's cases): the test
  // case, its score before and now, and the change; words { number,
  // change, none (for a test case one run did not answer) }.
  function comparisonRows(cases, from, to, words) {
    const rows = [];
    for (let i = from; i < to; ++i) {
      const { id, before, after, change } = cases[i];
      const shown = (value, format) => (value === null ? words.none : format(value));
      const made = row(String(id), shown(before, words.number), shown(after, words.number),
                       shown(change, words.change));
      if (change !== null && change !== 0) made.className = change > 0 ? 'better' : 'worse';
      rows.push(made);
    }
    return rows;
  }

  // Returns the rows of the test cases cases[from, to) (the result's
  // records): id, n, d, k, m.
  function caseRows(cases, from, to) {
    const rows = [];
    for (let i = from; i < to; ++i) {
      const at = i * kCaseWords;
      rows.push(row(String(cases[at + kCase.id]), String(cases[at + kCase.n]), String(cases[at + kCase.d]),
                    String(cases[at + kCase.k]), String(cases[at + kCase.m])));
    }
    return rows;
  }

  return { findingItems, blockRows, raceRows, comparisonRows, caseRows };
});
