// The page's own words, in Slovenian (without diacritics, as the reports are)
// and in English. Every text the page shows comes from here; {name} in a text
// stands for a value that the page inserts.
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
          'tekmovanje, in pokaze porocilo. Datoteki ostaneta na tvojem racunalniku: ' +
          'stran ne poslje nicesar nikamor.',
      official: 'Uradne tocke so tiste, ki jih da ocenjevalni racunalnik tekmovanja.',
      testDataLabel: '1. Testni podatki (input.txt)',
      submissionLabel: '2. Tvoja oddaja (submission.txt)',
      dropHint: 'Datoteki lahko tudi povleces na stran.',
      again: 'Preveri znova',
      language: 'English',
      reading: 'Berem {file}: {done} od {total}',
      evaluating: 'Preverjam ...',
      took: 'Preverjanje je trajalo {seconds} s.',
      checksum: 'SHA-256 testnih podatkov: {sha256}',
      checksumHint: 'Primerjaj ga z vrednostjo, ki jo objavijo organizatorji.',
      reportHeading: 'Porocilo (report.txt)',
      save: 'Shrani report.txt',
      scoresHeading: 'Tocke po testnih primerih',
      caseColumn: 'Testni primer',
      scoreColumn: 'Tocke',
      sumRow: 'Skupaj',
      placeHeading: 'Kje je napaka: {file}, {line}. vrstica',
      placeMissing: 'Datoteka {file} se konca pred {line}. vrstico, ki manjka.',
      endOfFile: '(konec datoteke)',
      lineCut: '... (vrstica je daljsa)',
      testData: 'testni podatki',
      submission: 'oddaja',
      memory: 'Brskalniku je zmanjkalo pomnilnika. Stran sme v brskalniku uporabiti najvec ' +
          '2 GiB pomnilnika, ocenjevalnik pa mora hraniti testne podatke in vrstico, ki jo ' +
          'sporocilo navaja. To porocilo je enako, kot bi ga dal ocenjevalnik na ' +
          'racunalniku, ki mu zmanjka pomnilnika; ne pomeni napake v oddaji. Preveri na ' +
          'racunalniku z vec pomnilnika ali s programom Orv19Zobnikari.',
      empty: 'Datoteka "{name}" je prazna. Izberi datoteko s podatki.',
      tooLarge: 'Datoteka "{name}" je prevelika za pomnilnik brskalnika (skupaj najvec 1 GiB). ' +
          'Preveri jo s programom Orv19Zobnikari.',
      same: 'Za testne podatke in oddajo si izbral isto datoteko ("{name}"). Izberi dve ' +
          'razlicni datoteki.',
      binary: 'Datoteka "{name}" ni besedilna datoteka. Izberi besedilno datoteko ' +
          '(input.txt ali submission.txt).',
      unreadable: 'Datoteke "{name}" ni mogoce prebrati. Je to mapa, ali se je med branjem ' +
          'spremenila? Izberi datoteko.',
      folder: '"{name}" je mapa. Povleci datoteko, ne mape.',
      tooManyFiles: 'Povleci najvec dve datoteki: testne podatke in oddajo.',
      aborted: 'Preverjanje se je v brskalniku nepricakovano ustavilo ({reason}). Stran je ' +
          'pripravljena za novo preverjanje.',
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
      language: 'Slovensko',
      reading: 'Reading {file}: {done} of {total}',
      evaluating: 'Checking ...',
      took: 'The check took {seconds} s.',
      checksum: 'SHA-256 of the test data: {sha256}',
      checksumHint: 'Compare it with the value that the organisers publish.',
      reportHeading: 'Report (report.txt)',
      save: 'Save report.txt',
      scoresHeading: 'Score by test case',
      caseColumn: 'Test case',
      scoreColumn: 'Score',
      sumRow: 'Total',
      placeHeading: 'Where the fault is: {file}, line {line}',
      placeMissing: 'The file {file} ends before line {line}, which is missing.',
      endOfFile: '(end of file)',
      lineCut: '... (the line goes on)',
      testData: 'test data',
      submission: 'submission',
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
      version: 'Evaluator {version}, commit {commit} ({module})',
      simd: 'WebAssembly SIMD',
      portable: 'WebAssembly without SIMD',
    },
  };

  // Returns the text named key in language ('sl' or 'en'), each {name} in it
  // replaced by values[name]. REQUIRES: the text exists.
  function text(language, key, values = {}) {
    const template = kTexts[language][key];
    if (template === undefined) throw new Error('no text ' + language + '.' + key);
    return template.replace(/\{(\w+)\}/g, (whole, name) =>
      Object.prototype.hasOwnProperty.call(values, name) ? String(values[name]) : whole);
  }

  return { text, languages: Object.keys(kTexts), kTexts };
});
