// The parts of the result as the page draws them into its elements: the
// verdict, the report, the place of a failure with its block, the check's
// explanation and the scores. Each takes the data that the worker prepared
// and the page's words; none reads a file or decodes a byte.
(function (root, factory) {
  root.ZobnikariViews = factory(root.ZobnikariVisible);
})(this, function (visible) {
  'use strict';

  // Returns a new element of tag with the given class and children (nodes or
  // strings).
  function element(tag, className, ...children) {
    const made = document.createElement(tag);
    if (className) made.className = className;
    made.append(...children);
    return made;
  }

  // Returns nodes for runs (visible.runsOf): printable text as it is, every
  // other byte as its mark (⟨C2⟩) in a span of its own, the marked run inside
  // <mark>.
  function runNodes(runs) {
    return runs.map((run) => {
      const node = run.text !== undefined ? document.createTextNode(run.text)
          : element('span', 'byte', visible.byteMark(run.byte));
      return run.marked ? element('mark', 'offending', node) : node;
    });
  }

  // Returns nodes for a line drawn by visible.visibleSlice, with notes where
  // bytes were left out; words.cut and words.skipped make those notes.
  function sliceNodes(slice, words) {
    const nodes = runNodes(slice.runs);
    if (slice.before > 0) nodes.unshift(element('span', 'cut', words.skipped(slice.before)));
    if (slice.after > 0) nodes.push(element('span', 'cut', words.cut(slice.after, slice.length)));
    return nodes;
  }

  // Returns nodes for inline markdown text: `code` as <code>, the rest as text.
  function inlineNodes(text) {
    return text.split('`').map((piece, index) => (index % 2 === 1 ? element('code', '', piece) : piece));
  }

  // Draws the verdict (verdict.verdictOf) into box; the check's number links
  // to link (an element's id).
  function drawVerdict(box, verdict, link) {
    box.dataset.tone = verdict.tone;
    const title = element('p', 'verdict-text', verdict.around[0]);
    if (verdict.check !== null) {
      const anchor = element('a', '', String(verdict.check));
      anchor.href = '#' + link;
      title.append(anchor, verdict.around[1]);
    }
    box.replaceChildren(title);
    if (verdict.detail) box.append(element('p', 'verdict-detail', verdict.detail));
  }

  // Draws the report's view (visible.visibleLines) into pre: its lines as
  // they are, long ones cut with their length, and a note of lines left out.
  function drawReport(pre, view, words) {
    const nodes = [];
    for (const line of view.lines) nodes.push(...sliceNodes(line, words), '\n');
    if (view.moreLines > 0) nodes.push(element('span', 'cut', words.moreLines(view.moreLines)));
    pre.replaceChildren(...nodes);
  }

  // Returns the list items of the lines around a failure (place.lines), the
  // block's first line before them when it is not among them; marked lines
  // carry a visible marker and words.marked for screen readers.
  function placeItems(place, firstLine, lineMissing, words) {
    const item = (line, className) => {
      const li = element('li', className, element('span', 'number', String(line.number)),
                         element('span', 'text', ...sliceNodes(line, words)));
      if (line.marked) {
        li.prepend(element('span', 'marker', '\u25b6'));
        li.append(element('span', 'visually-hidden', ' (' + words.marked + ')'));
      }
      return li;
    };
    const items = [];
    if (firstLine && (place.lines.length === 0 || firstLine.number < place.lines[0].number)) {
      items.push(item(firstLine, 'block-line'));
      if (place.lines.length === 0 || firstLine.number + 1 < place.lines[0].number) {
        items.push(element('li', 'gap', words.gap));
      }
    }
    for (const line of place.lines) items.push(item(line, line.marked ? 'marked' : ''));
    if (lineMissing) {
      const end = element('li', 'marked end', element('span', 'marker', '\u25b6'), words.endOfFile);
      items.push(end);
    }
    return items;
  }

  // Draws the explanation of a check (an entry of check-docs.js) into box:
  // its message and meaning, the other paragraphs of its section, and the
  // usual mistakes that give it.
  function drawExplanation(box, doc, words) {
    const nodes = [element('h2', '', words.heading), element('p', 'hint', words.source)];
    const facts = element('dl', '');
    facts.append(element('dt', '', 'Message'), element('dd', '', ...inlineNodes(doc.message)),
                 element('dt', '', 'Meaning'), element('dd', '', ...inlineNodes(doc.meaning)));
    if (doc.line !== null) facts.prepend(element('dt', '', 'Line'), element('dd', '', doc.line));
    nodes.push(facts);
    for (const paragraph of doc.paragraphs) nodes.push(element('p', '', ...inlineNodes(paragraph)));
    if (doc.mistakes.length > 0) {
      nodes.push(element('p', '', words.mistakes));
      nodes.push(element('ul', '', ...doc.mistakes.map(({ mistake, check }) =>
        element('li', '', ...inlineNodes(mistake), ': ', ...inlineNodes(check)))));
    }
    const link = element('a', '', words.link);
    link.href = 'docs/checks.md';
    nodes.push(element('p', '', link));
    box.replaceChildren(...nodes);
  }

  // Draws an OK outcome's entries into body (a <tbody>), each test case as
  // its row's header.
  function drawScores(body, outcome) {
    body.replaceChildren(...outcome.entries.map(({ id, score }) => {
      const header = element('th', '', String(id));
      header.scope = 'row';
      return element('tr', '', header, element('td', '', String(score)));
    }));
  }

  return { drawVerdict, drawReport, placeItems, drawExplanation, drawScores, element, sliceNodes };
});
