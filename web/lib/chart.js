// The chart of one answer block, as inline SVG without a library: its points
// race by race against the race's ceiling, and its newcomers race by race
// against m. Each series is one path however many races there are, so a
// block of 1000 races draws in one frame; the plot stretches to its box, and
// its numbers stand in HTML beside it, so it reads at any width.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariChart = factory();
})(this, function () {
  'use strict';

  // The plot's box in its own units: a race is one unit wide, the height
  // kHeight, and the largest value stands kTop below the top.
  const kHeight = 100;
  const kTop = 5;
  const kSvg = 'http://www.w3.org/2000/svg';

  // Returns the height in the plot of value, max standing at kTop.
  function yOf(value, max) {
    return Math.round((kHeight - (value / max) * (kHeight - kTop)) * 100) / 100;
  }

  // Returns the SVG path of values (numbers, race 1 first) as bars side by
  // side, one unit wide each, from the plot's bottom: one outline of steps.
  // REQUIRES: max > 0.
  function barsPath(values, max) {
    const steps = ['M0 ' + kHeight];
    for (let i = 0; i < values.length; ++i) steps.push('V' + yOf(values[i], max) + 'H' + (i + 1));
    steps.push('V' + kHeight + 'Z');
    return steps.join('');
  }

  // Returns the SVG path of a level line at value across count races.
  function levelPath(value, max, count) {
    return 'M0 ' + yOf(value, max) + 'H' + count;
  }

  // Returns a new SVG element of tag with attributes.
  function svgElement(tag, attributes) {
    const made = document.createElementNS(kSvg, tag);
    for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
    return made;
  }

  // Returns a new HTML element of tag with the class and children given.
  function element(tag, className, ...children) {
    const made = document.createElement(tag);
    if (className) made.className = className;
    made.append(...children);
    return made;
  }

  // Returns one panel: values as bars against the level line at limit, the
  // scale from 0 to max(limit, 1); words { title, first, last (the races at
  // the ends of the axis), level (the line's label) }.
  function panel(className, values, limit, words) {
    const max = Math.max(limit, 1);
    const svg = svgElement('svg', {
      viewBox: '0 0 ' + values.length + ' ' + kHeight, preserveAspectRatio: 'none', 'aria-hidden': 'true',
    });
    svg.append(svgElement('path', { class: 'bars', d: barsPath(values, max) }),
               svgElement('path', { class: 'level', d: levelPath(limit, max, values.length),
                                    'vector-effect': 'non-scaling-stroke' }));
    return element('div', 'panel ' + className,
                   element('p', 'panel-title', words.title),
                   element('div', 'plot', element('div', 'y-axis', element('span', '', words.level), element('span', '', '0')), svg,
                           element('div', 'x-axis', element('span', '', words.first), element('span', '', words.last))));
  }

  // Draws into box the chart of races (points.racesOf's) with the test
  // case's m; words { points, newcomers (the panels' titles), level (value)
  // (the label of a level line), first, last, summary (the figure's text for
  // screen readers) }.
  function drawChart(box, races, m, words) {
    box.setAttribute('role', 'img');
    box.setAttribute('aria-label', words.summary);
    box.replaceChildren(
        panel('points', races.points, races.ceiling,
              { title: words.points, first: words.first, last: words.last, level: words.level(races.ceiling) }),
        panel('newcomers', races.newcomers, m,
              { title: words.newcomers, first: words.first, last: words.last, level: words.level(m) }));
  }

  return { barsPath, levelPath, drawChart };
});
