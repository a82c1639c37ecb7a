// The contestant's workbench below the official report: every defect (the
// first marked as the official failure, a chosen one shown in its place),
// where the points go (the answer blocks, and a chosen block's races as a
// chart with its table), the change against the last run, and the test
// data's test cases. Each part takes its elements and the page's words, and
// draws again in the page's language when asked.
(function (root, factory) {
  root.ZobnikariWorkbench = factory(root.ZobnikariPager, root.ZobnikariDiagnosisViews, root.ZobnikariPoints,
                                    root.ZobnikariChart, root.ZobnikariMessages);
})(this, function (pager, diagnosisViews, points, chart, messages) {
  'use strict';

  // Items on a page of each list.
  const kPageSize = 100;

  // Returns the pager's words in the page's words (words: see Findings).
  const pagerWords = (words) => () => ({
    previous: words.t('pagePrevious'),
    next: words.t('pageNext'),
    range: (from, to, count) => words.t('pageRange', { from: words.number(from), to: words.number(to), count: words.number(count) }),
  });

  // Returns the index of the button with data-index in event's target, or
  // null.
  function chosenIndex(event) {
    const button = event.target.closest('button[data-index]');
    return button === null || button.disabled ? null : Number(button.dataset.index);
  }

  // The list of every defect.
  class Findings {
    // elements { section, summary, nav, list }; words { t(key, values),
    // count(key, number), number(value), lineWords() (views.sliceNodes's),
    // name(file) (the chosen file's name) }; onSelect(finding, index,
    // count) draws the place of the finding chosen.
    constructor(elements, words, onSelect) {
      this.elements = elements;
      this.words = words;
      this.onSelect = onSelect;
      this.findings = [];
      this.more = 0;
      this.selected = 0;
      this.pager = new pager.Pager(elements.nav, kPageSize, (from, to) => this.drawPage(from, to), pagerWords(words));
      elements.list.addEventListener('click', (event) => {
        const index = chosenIndex(event);
        if (index !== null) this.select(index);
      });
      // Up and down move the choice, from page to page.
      elements.list.addEventListener('keydown', (event) => {
        const step = { ArrowDown: 1, ArrowUp: -1 }[event.key];
        const next = this.selected + (step || 0);
        if (!step || next < 0 || next >= this.findings.length) return;
        event.preventDefault();
        this.select(next, true);
      });
    }

    // Shows diagnosis's findings (the result's), the first chosen; hides the
    // list when there is none.
    show(diagnosis) {
      this.findings = diagnosis.findings;
      this.more = diagnosis.moreFindings;
      this.elements.section.hidden = this.findings.length === 0;
      if (this.findings.length === 0) return;
      this.selected = 0;
      this.pager.reset(this.findings.length);
      this.drawSummary();
      this.onSelect(this.findings[0], 0, this.findings.length);
    }

    // Chooses finding index: its page shown, its entry pressed, its place
    // drawn; focused when focus.
    select(index, focus = false) {
      this.selected = index;
      this.pager.showItem(index);
      for (const button of this.elements.list.querySelectorAll('button[data-index]')) {
        button.setAttribute('aria-pressed', String(Number(button.dataset.index) === index));
      }
      const button = this.elements.list.querySelector('button[data-index="' + index + '"]');
      if (focus) button.focus();
      button.scrollIntoView({ block: 'nearest' });
      this.onSelect(this.findings[index], index, this.findings.length);
    }

    // Returns the index of the first listed finding of block (an index of
    // the result's blocks), or -1.
    firstOf(block) {
      return this.findings.findIndex((finding) => finding.block === block);
    }

    drawPage(from, to) {
      const words = this.words;
      this.elements.list.replaceChildren(...diagnosisViews.findingItems(this.findings, from, to, this.selected,
        Object.assign({
          at: (finding) => words.t(finding.missing ? 'findingMissing' : 'findingAt',
                                   { name: words.name(finding.file), line: finding.line, check: finding.check }),
          official: words.t('officialMark'),
        }, words.lineWords())));
    }

    drawSummary() {
      const words = this.words;
      const listed = this.findings.length;
      let text = words.t('findingsFound', { defects: words.count('defects', listed + this.more) });
      if (this.more > 0) text += ' ' + words.t('findingsMore', { listed: words.number(listed), more: words.number(this.more) });
      this.elements.summary.textContent = text;
    }

    // Draws the list again in the page's language.
    redraw() {
      if (this.findings.length === 0) return;
      this.drawSummary();
      this.pager.show(this.pager.bounds.index);
    }
  }

  // The answer blocks, and the chosen block's races.
  class Blocks {
    // elements { section, nav, body, chart: { section, heading, summary,
    // limit, figure, nav, body, caption } }; words as for
    // Findings, with share(value); firstFinding(block) gives the index of a
    // block's first listed finding or -1, and showFinding(index) chooses it.
    constructor(elements, words, firstFinding, showFinding) {
      this.elements = elements;
      this.words = words;
      this.firstFinding = firstFinding;
      this.diagnosis = null;
      this.chosen = -1;
      this.pager = new pager.Pager(elements.nav, kPageSize, (from, to) => this.drawPage(from, to), pagerWords(words));
      this.racePager = new pager.Pager(elements.chart.nav, kPageSize, (from, to) => this.drawRaces(from, to),
                                       pagerWords(words));
      elements.body.addEventListener('click', (event) => {
        const index = chosenIndex(event);
        if (index === null) return;
        const block = points.blockAt(this.diagnosis.blocks, index);
        if (block.races >= 0) this.choose(index);
        else showFinding(firstFinding(index));
      });
    }

    // Shows diagnosis's blocks (the result's), the first with races chosen;
    // hides them when there is none.
    show(diagnosis) {
      this.diagnosis = diagnosis;
      const count = points.blockCount(diagnosis.blocks);
      this.elements.section.hidden = count === 0;
      this.chosen = points.firstWithRaces(diagnosis.blocks);
      if (count > 0) this.pager.reset(count);
      this.drawChart();
    }

    // Chooses block index, which has races, for the chart; the focus stays
    // on its button when it was there.
    choose(index) {
      const focused = this.elements.body.contains(document.activeElement);
      this.chosen = index;
      this.pager.show(this.pager.bounds.index);
      if (focused) this.elements.body.querySelector('button[data-index="' + index + '"]').focus();
      this.drawChart();
    }

    drawPage(from, to) {
      const words = this.words;
      this.elements.body.replaceChildren(...diagnosisViews.blockRows(this.diagnosis.blocks, from, to, this.chosen,
        (block) => this.firstFinding(block.index), {
          number: words.number,
          share: words.share,
          rejected: (defects) => words.t('blockRejected', { defects: words.count('defects', defects) }),
          choose: (index) => words.t('blockChoose', { index }),
          defects: (index) => words.t('blockDefects', { index }),
        }));
    }

    // Draws the chosen block's chart and its table; hides them when no block
    // has races.
    drawChart() {
      this.elements.chart.section.hidden = this.chosen < 0;
      if (this.chosen < 0) return;
      const chartElements = this.elements.chart;
      const words = this.words;
      const block = points.blockAt(this.diagnosis.blocks, this.chosen);
      const testCase = points.caseOf(this.diagnosis.cases, block.id);
      this.races = points.racesOf(block, testCase, this.diagnosis.races);
      this.m = testCase.m;
      const index = this.chosen + 1;
      chartElements.heading.textContent = words.t('chartHeading', { index, id: block.id, line: block.line });
      const summary = words.t('chartSummary', {
        score: words.count('points', block.score), ceiling: words.number(block.ceiling),
        share: words.share(block.share || 0), lost: words.number(this.races.lost),
      });
      const limit = words.t('chartLimit', { m: testCase.m, atLimit: words.number(this.races.atLimit),
                                            changes: words.number(this.races.changes) });
      chartElements.summary.textContent = summary;
      chartElements.limit.textContent = limit;
      chart.drawChart(chartElements.figure, this.races, testCase.m, {
        points: words.t('chartPoints', { ceiling: words.number(this.races.ceiling) }),
        newcomers: words.t('chartNewcomers', { m: testCase.m }),
        level: (value) => words.number(value),
        first: words.t('chartFirst'),
        last: words.t('chartLast', { d: testCase.d }),
        summary: words.t('chartAlt', { index, summary, limit }),
      });
      chartElements.caption.textContent = words.t('racesCaption', { index });
      this.racePager.reset(testCase.d);
    }

    drawRaces(from, to) {
      this.elements.chart.body.replaceChildren(...diagnosisViews.raceRows(this.races, from, to, this.m,
                                                                          { number: this.words.number }));
    }

    // Draws the blocks and the chart again in the page's language.
    redraw() {
      if (this.diagnosis === null || points.blockCount(this.diagnosis.blocks) === 0) return;
      this.pager.show(this.pager.bounds.index);
      const page = this.racePager.bounds.index;
      this.drawChart();
      if (this.chosen >= 0) this.racePager.show(page);
    }
  }

  // A table of rows drawn a page at a time: the change by test case against
  // the last run, or the test data's test cases.
  class PagedTable {
    // elements { nav, body }; rows(from, to) returns the rows of a page.
    constructor(elements, words, rows) {
      this.elements = elements;
      this.rows = rows;
      this.pager = new pager.Pager(elements.nav, kPageSize, (from, to) => {
        elements.body.replaceChildren(...this.rows(from, to));
      }, pagerWords(words));
    }

    // Shows count rows from the first.
    show(count) {
      this.pager.reset(count);
    }

    // Draws the shown page again.
    redraw() {
      this.pager.show(this.pager.bounds.index);
    }
  }

  return { Findings, Blocks, PagedTable, caseCount: (cases) => cases.length / messages.kCaseWords };
});
