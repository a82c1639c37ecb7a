// Long lists drawn a page at a time (a thousand defects, a million answer
// blocks, a thousand races): the page drawn, with buttons to the one before
// and after it, so that no list is ever drawn whole.
(function (root, factory) {
  if (typeof module === 'object' && module.exports) module.exports = factory();
  else root.ZobnikariPager = factory();
})(this, function () {
  'use strict';

  // Returns page index (from 0) of count items, size a page: { index (held
  // to the pages there are), from, to (its items are [from, to)), pages
  // (at least 1) }. REQUIRES: size >= 1.
  function pageBounds(count, size, index) {
    const pages = Math.max(1, Math.ceil(count / size));
    const held = Math.min(Math.max(0, Math.floor(index)), pages - 1);
    return { index: held, from: held * size, to: Math.min(count, (held + 1) * size), pages };
  }

  class Pager {
    // Draws into nav (an element) the buttons and the range shown of a list
    // whose pages draw(from, to) draws, size items a page; words() returns
    // { previous, next, range(from, to, count) } in the page's language
    // (from and to counted from 1).
    constructor(nav, size, draw, words) {
      this.size = size;
      this.draw = draw;
      this.words = words;
      this.count = 0;
      this.bounds = pageBounds(0, size, 0);
      const button = (step) => {
        const made = document.createElement('button');
        made.type = 'button';
        made.addEventListener('click', () => this.show(this.bounds.index + step));
        return made;
      };
      this.previous = button(-1);
      this.next = button(1);
      this.range = document.createElement('span');
      this.range.className = 'range';
      this.nav = nav;
      nav.replaceChildren(this.previous, this.range, this.next);
    }

    // Shows the page that holds item (from 0) of a list of count items.
    reset(count, item = 0) {
      this.count = count;
      this.show(Math.floor(item / this.size));
    }

    // Shows page index (held to the pages there are).
    show(index) {
      this.bounds = pageBounds(this.count, this.size, index);
      this.draw(this.bounds.from, this.bounds.to);
      this.redraw();
    }

    // Shows the page that holds item (from 0), unless it is shown.
    showItem(item) {
      if (item < this.bounds.from || item >= this.bounds.to) this.show(Math.floor(item / this.size));
    }

    // Draws the buttons and the range again, in the page's language.
    redraw() {
      const words = this.words();
      const { index, from, to, pages } = this.bounds;
      this.nav.hidden = pages === 1;
      this.previous.textContent = words.previous;
      this.next.textContent = words.next;
      this.previous.disabled = index === 0;
      this.next.disabled = index === pages - 1;
      this.range.textContent = words.range(from + 1, to, this.count);
    }
  }

  return { pageBounds, Pager };
});
