// The page's own words, in Slovenian and in English. Every text the page
// shows comes from here (the reports keep the program's words, Slovenian
// without diacritics); {name} in a text stands for a value that the page
// inserts, and counts take the form their number asks for.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariTexts = factory();
})(this, function () {
  'use strict';

  const kTexts = {
    sl: {
      title: 'Zobnikari: preveri svojo oddajo',
      intro: 'Izberi testne podatke (input.txt) in datoteko, ki jo je napisal tvoj program ' +
          '(submission.txt). Stran ju preveri z istim ocenjevalnikom, kot ga uporablja ' +
          'tekmovanje, in pokaže poročilo. Datoteki ostaneta na tvojem računalniku: ' +
          'stran ne pošlje ničesar nikamor.',
      official: 'Uradne točke so tiste, ki jih da ocenjevalni računalnik tekmovanja.',
      testDataLabel: '1. Testni podatki (input.txt)',
      submissionLabel: '2. Tvoja oddaja (submission.txt)',
      dropHint: 'Datoteki lahko tudi povlečeš na stran.',
      again: 'Preveri znova',
      follow: 'Spremljaj datoteki: ko se na disku spremenita, preveri znova',
      chooseBoth: 'Izberi testne podatke in oddajo.',
      chooseTestData: 'Izberi še testne podatke (input.txt).',
      chooseSubmission: 'Izberi še oddajo (submission.txt).',
      language: 'English',
      reading: 'Berem {file}: {done} od {total}',
      evaluating: 'Preverjam …',
      took: 'Preverjeno ob {time}, v {seconds} s.',
      following: 'Spremljam datoteki: ko se spremenita, preverim znova.',
      changing: 'Datoteka {name} se spreminja; preverim jo, ko se umiri.',
      staleFollowing: 'Datoteka {name} se je spremenila: to poročilo velja za prejšnjo ' +
          'različico. Preverim znova, ko se umiri.',
      stale: 'Datoteka {name} se je spremenila: to poročilo velja za prejšnjo različico. ' +
          'Klikni »Preveri znova«.',
      chooseAgain: 'Datoteka "{name}" se je na disku spremenila, zato je brskalnik ne da več ' +
          'prebrati. Izberi jo znova.',
      staleChooseAgain: 'Datoteka "{name}" se je na disku spremenila: ta presoja velja za njeno ' +
          'prejšnjo različico, prebrano ob {time}. Izberi jo znova.',
      judged: 'Presojeno: {files}.',
      judgedFile: '{name}, {size}, prebrano ob {time}',
      checksum: 'SHA-256 testnih podatkov: {sha256}',
      checksumUnavailable: 'SHA-256 testnih podatkov tu ni na voljo: brskalnik ga izračuna le ' +
          'na strani, odprti z diska ali z varnega naslova.',
      checksumHint: 'Primerjaj ga z vrednostjo, ki jo objavijo organizatorji.',
      accepted: 'Sprejeto: {points}, {blocks}.',
      rejected: 'Zavrnjeno: napaka v {line}. vrstici {fileOf} ({name}), preverjanje {check}.',
      rejectedMissing: 'Zavrnjeno: {fileIn} ({name}) manjka {line}. vrstica, preverjanje {check}.',
      rejectedTestData: 'Napaka je v testnih podatkih: preveri, ali so to uradni testni podatki.',
      broken: 'Preverjanje se je prekinilo: oddaja ni ocenjena.',
      points: ['točka', 'točki', 'točke', 'točk'],
      blocks: ['blok', 'bloka', 'bloki', 'blokov'],
      bytes: ['bajt', 'bajta', 'bajti', 'bajtov'],
      reportHeading: 'Uradno poročilo, kot ga zapiše ocenjevalni računalnik (report.txt)',
      reportCut: ' … še {left} (vrstica ima {length}; shranjeno poročilo je celo)',
      reportMoreLines: '… in še {count} vrstic (shranjeno poročilo je celo)',
      save: 'Shrani report.txt',
      scoresHeading: 'Točke po testnih primerih',
      scoresMore: 'Prikazanih je prvih {shown} od {count} vrstic; vsota šteje vse.',
      caseColumn: 'Testni primer',
      scoreColumn: 'Točke',
      sumRow: 'Skupaj',
      placeHeading: 'Kje je napaka: {file}, {line}. vrstica',
      placeMissing: 'Datoteka {file} se konča pred {line}. vrstico, ki manjka.',
      markedLine: 'vrstica z napako',
      endOfFile: '(konec datoteke)',
      lineCut: ' … še {left} (vrstica ima {length})',
      lineSkipped: '… {skipped} pred tem … ',
      gap: '…',
      offending: 'Označeni znak {mark} (koda {code}) ni ne števka ne presledek.',
      team: 'To je ekipa za {race}. dirko v bloku testnega primera {id}, ki se začne v ' +
          '{number}. vrstici (k = {k}, d = {d}).',
      numberLine: 'Tu bi morala stati številka testnega primera.',
      previousBlock: 'Pred njo je blok testnega primera {id} (številka v {number}. vrstici, ' +
          'ekipe v vrsticah {first}–{last}, d = {d}).',
      pointsLine: 'To je vrstica s točkami po mestih testnega primera {id}, čigar glava je v ' +
          '{number}. vrstici (n = {n}, d = {d}, k = {k}, m = {m}).',
      raceLine: 'To je vrstni red {race}. dirke testnega primera {id}, čigar glava je v ' +
          '{number}. vrstici (n = {n}, d = {d}, k = {k}, m = {m}).',
      swapTestData: 'Izbrani testni podatki so videti kot oddaja (1. vrstica ima 6 bajtov, ' +
          '2. je Zobnikari).',
      swapSubmission: 'Izbrana oddaja se začne z vrstico Zobnikari, kot testni podatki.',
      swapQuestion: 'Si morda zamenjal datoteki?',
      swapButton: 'Zamenjaj datoteki',
      explanationHeading: 'Kaj pomeni preverjanje {check}',
      explanationSource: 'Iz docs/checks.md (v angleščini):',
      explanationMistakes: 'Pogoste napake s tem preverjanjem:',
      explanationLink: 'Vse razlage: docs/checks.md',
      testData: 'testni podatki',
      submission: 'oddaja',
      testDataOf: 'testnih podatkov',
      submissionOf: 'oddaje',
      testDataIn: 'v testnih podatkih',
      submissionIn: 'v oddaji',
      memory: 'Brskalniku je zmanjkalo pomnilnika. Stran sme v brskalniku uporabiti največ ' +
          '2 GiB pomnilnika, ocenjevalnik pa mora hraniti testne podatke in vrstico, ki jo ' +
          'sporočilo navaja. To poročilo je enako, kot bi ga dal ocenjevalnik na ' +
          'računalniku, ki mu zmanjka pomnilnika; ne pomeni napake v oddaji. Preveri na ' +
          'računalniku z več pomnilnika ali s programom Orv19Zobnikari.',
      empty: 'Datoteka "{name}" je prazna. Izberi datoteko s podatki.',
      tooLarge: 'Datoteka "{name}" je prevelika za pomnilnik brskalnika (skupaj največ 1 GiB). ' +
          'Preveri jo s programom Orv19Zobnikari.',
      same: 'Za testne podatke in oddajo si izbral isto datoteko ("{name}"). Izberi dve ' +
          'različni datoteki.',
      binary: 'Datoteka "{name}" ni besedilna datoteka. Izberi besedilno datoteko ' +
          '(input.txt ali submission.txt).',
      unreadable: 'Datoteke "{name}" ni mogoče prebrati. Je to mapa, ali se je med branjem ' +
          'spremenila? Izberi datoteko.',
      folder: '"{name}" je mapa. Povleci datoteko, ne mape.',
      tooManyFiles: 'Povleci največ dve datoteki: testne podatke in oddajo.',
      aborted: 'Preverjanje se je v brskalniku nepričakovano ustavilo ({reason}). Stran je ' +
          'pripravljena za novo preverjanje.',
      findingsHeading: 'Vse napake',
      findingsFound: 'Preverjanje je šlo naprej tudi po prvi napaki in našlo {defects}.',
      findingsMore: 'Navedenih je prvih {listed}, še {more} ni navedenih.',
      findingsNote: 'Uradna je le prva: poročilo navaja samo njo. Druge ti pomagajo popraviti oddajo ' +
          'naenkrat. Izberi napako, da vidiš njeno vrstico.',
      findingsIncomplete: 'Brskalniku je zmanjkalo pomnilnika za seznam vseh napak in blokov; uradno ' +
          'poročilo je celo.',
      findingAt: '{name}, {line}. vrstica, preverjanje {check}',
      findingMissing: '{name}: manjka {line}. vrstica, preverjanje {check}',
      officialMark: 'uradna napaka',
      placeOfficial: 'To je uradna napaka, ki jo navaja poročilo.',
      placeOther: 'To je {index}. od {count} navedenih napak; poročilo je ne navaja.',
      defects: ['napaka', 'napaki', 'napake', 'napak'],
      pagePrevious: '◀ Prejšnjih',
      pageNext: 'Naslednjih ▶',
      pageRange: '{from}–{to} od {count}',
      blocksHeading: 'Kje so točke: bloki odgovorov',
      blocksNote: 'Strop bloka je d × (t_1 + … + t_k): točke k najboljših mest v vsaki dirki. ' +
          'Delež pove, koliko stropa je blok dosegel. Izberi blok, da vidiš njegove dirke.',
      blockColumn: 'Blok',
      lineColumn: 'Vrstica',
      ceilingColumn: 'Strop',
      shareColumn: 'Delež',
      blockRejected: 'zavrnjen: {defects}',
      blockChoose: 'Pokaži dirke bloka {index}',
      blockDefects: 'Pokaži prvo napako bloka {index}',
      chartHeading: 'Blok {index} (testni primer {id}, {line}. vrstica): dirka za dirko',
      chartSummary: '{score} od {ceiling} ({share}); izgubljenih {lost}.',
      chartLimit: 'Novincev je bilo toliko, kot jih dovoli m = {m}, pri {atLimit} od {changes} menjav ' +
          'ekipe med dirkami.',
      chartPoints: 'Točke po dirkah; črta je strop dirke ({ceiling})',
      chartNewcomers: 'Novinci po dirkah; črta je m = {m}',
      chartFirst: '1. dirka',
      chartLast: '{d}. dirka',
      chartAlt: 'Graf bloka {index}: {summary} {limit}',
      racesCaption: 'Dirke bloka {index} kot tabela',
      raceColumn: 'Dirka',
      raceCeilingColumn: 'Strop dirke',
      newcomersColumn: 'Novinci',
      compareHeading: 'Primerjava s prejšnjim preverjanjem',
      compareFirst: 'To je prvo preverjanje s temi testnimi podatki, odkar je stran odprta.',
      compareSince: 'Prejšnje preverjanje istih testnih podatkov je bilo ob {time}.',
      compareTotal: 'Skupaj: {before} → {after} ({change}).',
      compareDefects: 'Napak: {before} → {after} ({change}).',
      compareOutcomes: 'Prej: {before}. Zdaj: {after}.',
      compareAccepted: 'sprejeto, {points}',
      compareRejected: 'zavrnjeno, {defects}',
      compareBroken: 'prekinjeno',
      compareNone: '—',
      beforeColumn: 'Prej',
      afterColumn: 'Zdaj',
      changeColumn: 'Razlika',
      compareNoChecksum: 'Brez SHA-256 testnih podatkov stran ne primerja s prejšnjim preverjanjem.',
      rememberHint: 'Stran si zadnje preverjanje zapomni, dokler je odprta.',
      remember: 'Zapomni si ga tudi po ponovnem nalaganju',
      remembered: 'Zadnje preverjanje teh testnih podatkov je shranjeno v tem brskalniku.',
      forget: 'Pozabi',
      rememberFailed: 'Brskalnik ne dovoli shranjevanja.',
      forgotten: 'Stran je pozabila zadnje preverjanje teh testnih podatkov.',
      testDataValid: 'Testni podatki so veljavni: {cases}.',
      testDataInvalid: 'Testni podatki niso veljavni: napaka v {line}. vrstici ({name}), preverjanje {check}.',
      testDataInvalidMissing: 'Testni podatki niso veljavni: v datoteki {name} manjka {line}. vrstica, ' +
          'preverjanje {check}.',
      testDataBroken: 'Brskalniku je zmanjkalo pomnilnika: testni podatki niso preverjeni.',
      cases: ['testni primer', 'testna primera', 'testni primeri', 'testnih primerov'],
      casesHeading: 'Testni primeri',
      version: 'Ocenjevalnik {version}, commit {commit} ({module})',
      simd: 'WebAssembly SIMD',
      portable: 'WebAssembly brez SIMD',
    },
    en: {
      title: 'Zobnikari: check your submission',
      intro: 'Choose the test data (input.txt) and the file that your program wrote ' +
          '(submission.txt). The page checks them with the same evaluator that the ' +
          'competition uses and shows the report. Both files stay on your computer: the ' +
          'page sends nothing anywhere.',
      official: 'The official score is the one that the competition\'s grading machine gives.',
      testDataLabel: '1. Test data (input.txt)',
      submissionLabel: '2. Your submission (submission.txt)',
      dropHint: 'You can also drop the files on the page.',
      again: 'Check again',
      follow: 'Follow the files: check again when they change on disk',
      chooseBoth: 'Choose the test data and the submission.',
      chooseTestData: 'Now choose the test data (input.txt).',
      chooseSubmission: 'Now choose the submission (submission.txt).',
      language: 'Slovensko',
      reading: 'Reading {file}: {done} of {total}',
      evaluating: 'Checking …',
      took: 'Checked at {time}, in {seconds} s.',
      following: 'Following the files: when they change, the page checks again.',
      changing: 'The file {name} is changing; it is checked once it settles.',
      staleFollowing: 'The file {name} has changed: this report is for its previous version. ' +
          'It is checked again once it settles.',
      stale: 'The file {name} has changed: this report is for its previous version. Click ' +
          '“Check again”.',
      staleChooseAgain: 'The file "{name}" has changed on disk: this verdict is for its previous ' +
          'version, read at {time}. Choose it again.',
      judged: 'Judged: {files}.',
      judgedFile: '{name}, {size}, read at {time}',
      chooseAgain: 'The file "{name}" has changed on disk, and the browser no longer reads it. ' +
          'Choose it again.',
      checksum: 'SHA-256 of the test data: {sha256}',
      checksumUnavailable: 'The SHA-256 of the test data is not available here: the browser ' +
          'works it out only on a page opened from disk or from a secure address.',
      checksumHint: 'Compare it with the value that the organisers publish.',
      accepted: 'Accepted: {points}, {blocks}.',
      rejected: 'Rejected: an error on line {line} of the {fileOf} ({name}), check {check}.',
      rejectedMissing: 'Rejected: line {line} is missing {fileIn} ({name}), check {check}.',
      rejectedTestData: 'The error is in the test data: make sure it is the official test data.',
      broken: 'The check broke off: the submission is not scored.',
      points: ['point', 'points'],
      blocks: ['answer block', 'answer blocks'],
      bytes: ['byte', 'bytes'],
      reportHeading: 'The official report, as the grading machine writes it (report.txt)',
      reportCut: ' … {left} more (the line has {length}; the saved report is whole)',
      reportMoreLines: '… and {count} more lines (the saved report is whole)',
      save: 'Save report.txt',
      scoresHeading: 'Score by test case',
      scoresMore: 'The first {shown} of {count} lines are shown; the total counts them all.',
      caseColumn: 'Test case',
      scoreColumn: 'Score',
      sumRow: 'Total',
      placeHeading: 'Where the fault is: {file}, line {line}',
      placeMissing: 'The file {file} ends before line {line}, which is missing.',
      markedLine: 'the line at fault',
      endOfFile: '(end of file)',
      lineCut: ' … {left} more (the line has {length})',
      lineSkipped: '… {skipped} before … ',
      gap: '…',
      offending: 'The marked character {mark} (code {code}) is neither a digit nor a blank.',
      team: 'This is the team for race {race} in the block of test case {id}, which begins on ' +
          'line {number} (k = {k}, d = {d}).',
      numberLine: 'A test-case number should stand here.',
      previousBlock: 'Before it stands the block of test case {id} (its number on line {number}, ' +
          'the teams on lines {first}–{last}, d = {d}).',
      pointsLine: 'This is the line of points by place of test case {id}, whose header is on ' +
          'line {number} (n = {n}, d = {d}, k = {k}, m = {m}).',
      raceLine: 'This is the finishing order of race {race} of test case {id}, whose header is ' +
          'on line {number} (n = {n}, d = {d}, k = {k}, m = {m}).',
      swapTestData: 'The chosen test data looks like a submission (line 1 has 6 bytes, line 2 ' +
          'is Zobnikari).',
      swapSubmission: 'The chosen submission begins with the line Zobnikari, as test data does.',
      swapQuestion: 'Did you swap the files?',
      swapButton: 'Swap the files',
      explanationHeading: 'What check {check} means',
      explanationSource: 'From docs/checks.md:',
      explanationMistakes: 'Usual mistakes that give this check:',
      explanationLink: 'Every explanation: docs/checks.md',
      testData: 'test data',
      submission: 'submission',
      testDataOf: 'test data',
      submissionOf: 'submission',
      testDataIn: 'from the test data',
      submissionIn: 'from the submission',
      memory: 'The browser ran out of memory. The page may use at most 2 GiB of memory in ' +
          'the browser, and the evaluator must hold the test data and the line that the ' +
          'message quotes. This report is the one the evaluator gives on a computer that ' +
          'runs out of memory; it does not mean that the submission is wrong. Check it on ' +
          'a computer with more memory, or with the program Orv19Zobnikari.',
      empty: 'The file "{name}" is empty. Choose a file with data.',
      tooLarge: 'The file "{name}" is too large for the browser\'s memory (at most 1 GiB ' +
          'together). Check it with the program Orv19Zobnikari.',
      same: 'You chose the same file ("{name}") for the test data and the submission. ' +
          'Choose two different files.',
      binary: 'The file "{name}" is not a text file. Choose a text file (input.txt or ' +
          'submission.txt).',
      unreadable: 'The file "{name}" cannot be read. Is it a folder, or did it change while ' +
          'it was read? Choose a file.',
      folder: '"{name}" is a folder. Drop a file, not a folder.',
      tooManyFiles: 'Drop at most two files: the test data and the submission.',
      aborted: 'The check stopped unexpectedly in the browser ({reason}). The page is ready ' +
          'to check again.',
      findingsHeading: 'Every defect',
      findingsFound: 'The checks went on after the first defect and found {defects}.',
      findingsMore: 'The first {listed} are listed; {more} more are not.',
      findingsNote: 'Only the first is official: the report names it alone. The others help you ' +
          'mend the submission in one go. Choose a defect to see its line.',
      findingsIncomplete: 'The browser ran out of memory for the list of every defect and block; the ' +
          'official report is whole.',
      findingAt: '{name}, line {line}, check {check}',
      findingMissing: '{name}: line {line} missing, check {check}',
      officialMark: 'the official failure',
      placeOfficial: 'This is the official failure, which the report names.',
      placeOther: 'This is defect {index} of the {count} listed; the report does not name it.',
      defects: ['defect', 'defects'],
      pagePrevious: '◀ Previous',
      pageNext: 'Next ▶',
      pageRange: '{from}–{to} of {count}',
      blocksHeading: 'Where the points go: the answer blocks',
      blocksNote: 'A block\'s ceiling is d × (t_1 + … + t_k): the points of the k best places in ' +
          'every race. The share is how much of its ceiling the block reached. Choose a block to see ' +
          'its races.',
      blockColumn: 'Block',
      lineColumn: 'Line',
      ceilingColumn: 'Ceiling',
      shareColumn: 'Share',
      blockRejected: 'rejected: {defects}',
      blockChoose: 'Show the races of block {index}',
      blockDefects: 'Show the first defect of block {index}',
      chartHeading: 'Block {index} (test case {id}, line {line}): race by race',
      chartSummary: '{score} of {ceiling} ({share}); {lost} lost.',
      chartLimit: 'The newcomers reached the limit m = {m} in {atLimit} of {changes} changes of the ' +
          'team between races.',
      chartPoints: 'Points by race; the line is the race\'s ceiling ({ceiling})',
      chartNewcomers: 'Newcomers by race; the line is m = {m}',
      chartFirst: 'race 1',
      chartLast: 'race {d}',
      chartAlt: 'Chart of block {index}: {summary} {limit}',
      racesCaption: 'The races of block {index} as a table',
      raceColumn: 'Race',
      raceCeilingColumn: 'Race\'s ceiling',
      newcomersColumn: 'Newcomers',
      compareHeading: 'Against the last run',
      compareFirst: 'This is the first check against this test data since the page was opened.',
      compareSince: 'The last check against the same test data was at {time}.',
      compareTotal: 'Total: {before} → {after} ({change}).',
      compareDefects: 'Defects: {before} → {after} ({change}).',
      compareOutcomes: 'Before: {before}. Now: {after}.',
      compareAccepted: 'accepted, {points}',
      compareRejected: 'rejected, {defects}',
      compareBroken: 'broken off',
      compareNone: '—',
      beforeColumn: 'Before',
      afterColumn: 'Now',
      changeColumn: 'Change',
      compareNoChecksum: 'Without the test data\'s SHA-256 the page does not compare with the last run.',
      rememberHint: 'The page keeps the last run while it is open.',
      remember: 'Keep it across reloads too',
      remembered: 'The last run against this test data is kept in this browser.',
      forget: 'Forget',
      rememberFailed: 'The browser does not allow keeping it.',
      forgotten: 'The page has forgotten the last run against this test data.',
      testDataValid: 'The test data is valid: {cases}.',
      testDataInvalid: 'The test data is not valid: an error on line {line} ({name}), check {check}.',
      testDataInvalidMissing: 'The test data is not valid: line {line} is missing from {name}, ' +
          'check {check}.',
      testDataBroken: 'The browser ran out of memory: the test data is not checked.',
      cases: ['test case', 'test cases'],
      casesHeading: 'Test cases',
      version: 'Evaluator {version}, commit {commit} ({module})',
      simd: 'WebAssembly SIMD',
      portable: 'WebAssembly without SIMD',
    },
  };

  // Returns the text named key in language ('sl' or 'en'), each {name} in it
  // replaced by values[name]. REQUIRES: the text exists.
  function text(language, key, values = {}) {
    const template = kTexts[language][key];
    if (typeof template !== 'string') throw new Error('no text ' + language + '.' + key);
    return template.replace(/\{(\w+)\}/g, (whole, name) =>
      Object.prototype.hasOwnProperty.call(values, name) ? String(values[name]) : whole);
  }

  // Returns count with the noun named key in the form the count asks for in
  // language: Slovenian has a form for 1, 2, 3 and 4, and the rest (by the
  // count's last two digits: 101 as 1, 111 as 5); English for 1 and the rest.
  function count(language, key, number) {
    const forms = kTexts[language][key];
    if (!Array.isArray(forms)) throw new Error('no counted noun ' + language + '.' + key);
    let form;
    if (language === 'sl') {
      const last = Math.abs(number) % 100;
      form = last === 1 ? 0 : last === 2 ? 1 : last === 3 || last === 4 ? 2 : 3;
    } else {
      form = number === 1 ? 0 : 1;
    }
    return grouped(number, language === 'sl' ? '.' : ',') + ' ' + forms[form];
  }

  // Returns the whole number number with its digits in groups of three,
  // parted by separator (as toLocaleString would, without loading the
  // browser's locale data).
  function grouped(number, separator) {
    return String(number).replace(/\B(?=(\d{3})+$)/g, separator);
  }

  // Returns number (a whole number) as language writes it: 1.234.567, 1,234,567.
  function number(language, value) {
    const digits = grouped(Math.abs(value), language === 'sl' ? '.' : ',');
    return value < 0 ? '\u2212' + digits : digits;
  }

  // Returns a size in bytes as a whole number of bytes, with kB or MB after
  // it from 1000 bytes on: 31 B, 4.567 B (4,6 kB), 19.546.123 B (19,5 MB).
  function size(language, bytes) {
    const exact = number(language, bytes) + '\u00a0B';
    if (bytes < 1000) return exact;
    const [scaled, unit] = bytes < 1e6 ? [bytes / 1e3, 'kB'] : [bytes / 1e6, 'MB'];
    const decimal = scaled.toFixed(1);
    return exact + ' (' + (language === 'sl' ? decimal.replace('.', ',') : decimal) + '\u00a0' + unit + ')';
  }

  // Returns a change (a whole number) with its sign: +66, −9 (a minus sign),
  // 0.
  function change(language, value) {
    return value > 0 ? '+' + number(language, value) : number(language, value);
  }

  // Returns share (from 0 to 1) as a percentage with one decimal, as language
  // writes it: 72,9 %, 72.9%.
  function percent(language, share) {
    const text = (Math.round(share * 1000) / 10).toFixed(1);
    return language === 'sl' ? text.replace('.', ',') + '\u00a0%' : text + '%';
  }

  return { text, count, number, size, change, percent, languages: Object.keys(kTexts), kTexts };
});
