// The verdict at a glance: what the page says first about an evaluation,
// made from the worker's last message (accepted with the total score and the
// number of answer blocks; rejected with the file, the line and the check;
// or broken off), or about the test data checked alone (valid with its test
// cases, or its defect). The report itself is shown as it is, below it.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) {
    module.exports = factory(require('./texts.js'), require('./messages.js'));
  } else {
    root.ZobnikariVerdict = factory(root.ZobnikariTexts, root.ZobnikariMessages);
  }
})(this, function (texts, messages) {
  'use strict';

  // Returns the verdict on last (the worker's last message: a result,
  // testDataChecked, or aborted) in language, as { tone: 'accepted' | 'rejected' | 'broken',
  // text, detail ('' when there is none), check (the failed check's number,
  // or null), around (text's pieces before and after the check's number,
  // or [text]) }; names holds the chosen files' names by which ('testData',
  // 'submission').
  function verdictOf(language, last, names) {
    const t = (key, values) => texts.text(language, key, values);
    if (last.kind === messages.kKinds.aborted) {
      return plain('broken', t('broken'), t('aborted', { reason: last.message }));
    }
    if (last.kind === messages.kKinds.testDataChecked) return testDataVerdict(t, language, last, names);
    const outcome = last.outcome;
    if (outcome.shape === 'ok') {
      return plain('accepted', t('accepted', {
        points: texts.count(language, 'points', outcome.sum),
        blocks: texts.count(language, 'blocks', outcome.count),
      }), '');
    }
    if (outcome.shape === 'failure') {
      const whole = t(last.lineMissing ? 'rejectedMissing' : 'rejected', {
        line: last.line, name: names[last.file], fileOf: t(last.file + 'Of'), fileIn: t(last.file + 'In'),
      });
      return naming(whole, outcome.check, last.file === 'testData' ? t('rejectedTestData') : '');
    }
    return plain('broken', t('broken'), t('memory'));
  }

  // Returns the verdict on the test data checked alone (last).
  function testDataVerdict(t, language, last, names) {
    if (last.valid) {
      return plain('accepted', t('testDataValid', { cases: texts.count(language, 'cases', last.cases.length / messages.kCaseWords) }), '');
    }
    if (last.finding === null) return plain('broken', t('testDataBroken'), '');
    const finding = last.finding;
    const whole = t(finding.missing ? 'testDataInvalidMissing' : 'testDataInvalid', { line: finding.line, name: names.testData });
    return naming(whole, finding.check, '');
  }

  // Returns a rejecting verdict of whole, a text that holds {check}, and
  // detail.
  function naming(whole, check, detail) {
    // {check} stays in the text, to be cut there: at its last place, as a
    // file's name may hold the same letters.
    const at = whole.lastIndexOf('{check}');
    const around = [whole.slice(0, at), whole.slice(at + '{check}'.length)];
    return { tone: 'rejected', text: around.join(String(check)), detail, check, around };
  }

  // Returns a verdict that names no check.
  function plain(tone, text, detail) {
    return { tone, text, detail, check: null, around: [text] };
  }

  return { verdictOf };
});
