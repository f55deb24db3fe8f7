'use strict';
// The phone page of the book: paired once by the key in the link's fragment, which is
// kept on the phone and taken out of the address bar at once.
(function () {
  const KEY = 'vorelle-key';
  const $ = (id) => document.getElementById(id);
  const state = { kind: 'expense', category: '', categories: { expense: [], income: [] }, last: null };

  function pair() {
    const match = /^#k=([A-Za-z0-9_-]+)$/.exec(location.hash);
    if (match) {
      localStorage.setItem(KEY, match[1]);
      history.replaceState(null, '', location.pathname);
    }
    return localStorage.getItem(KEY);
  }
  const key = pair();

  // One call of the API; a failure raises {status, error, field}.
  async function api(method, path, body, idempotencyKey) {
    const headers = { Authorization: 'Bearer ' + key };
    if (body !== undefined) headers['Content-Type'] = 'application/json';
    if (idempotencyKey) headers['Idempotency-Key'] = idempotencyKey;
    let response;
    try {
      response = await fetch('/api/v1/' + path, { method, headers, body: body === undefined ? undefined : JSON.stringify(body), cache: 'no-store', credentials: 'omit' });
    } catch (e) {
      throw { status: 0, error: '连接不上电脑，请检查网络后再试。', field: null };
    }
    let data = null;
    try { data = await response.json(); } catch (e) { data = null; }
    if (!response.ok) throw { status: response.status, error: (data && data.error) || '请求失败（' + response.status + '）。', field: data && data.field };
    return data;
  }

  function cents(text) {
    const m = /^(-?)(\d+)(?:\.(\d{1,2}))?$/.exec(text);
    return m ? (m[1] ? -1 : 1) * (Number(m[2]) * 100 + Number((m[3] || '0').padEnd(2, '0'))) : NaN;
  }
  // An expense's amount is what it cost; a refund (an expense of a negative amount) comes back.
  function signed(e) {
    if (e.kind === 'income') return '+' + e.amount;
    return e.amount.startsWith('-') ? '+' + e.amount.slice(1) : '-' + e.amount;
  }
  function money(value) {
    const sign = value < 0 ? '-' : '';
    const v = Math.abs(value);
    return sign + Math.floor(v / 100) + '.' + String(v % 100).padStart(2, '0');
  }
  function pad(n) { return String(n).padStart(2, '0'); }
  function localNow() {
    const d = new Date();
    return d.getFullYear() + '-' + pad(d.getMonth() + 1) + '-' + pad(d.getDate()) + 'T' + pad(d.getHours()) + ':' + pad(d.getMinutes()) + ':' + pad(d.getSeconds());
  }
  function day(d) { return d.getFullYear() + '-' + pad(d.getMonth() + 1) + '-' + pad(d.getDate()); }
  function newKey() {
    const bytes = new Uint8Array(16);
    crypto.getRandomValues(bytes);
    return Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('');
  }

  function clearErrors() {
    document.querySelectorAll('.err').forEach((e) => { e.textContent = ''; });
    document.querySelectorAll('input.bad').forEach((e) => e.classList.remove('bad'));
  }
  function showError(failure) {
    const field = failure.field && $('err-' + failure.field) ? failure.field : 'form';
    $('err-' + field).textContent = failure.error;
    // A refused field among the folded ones is shown, not left out of sight.
    if ($('more').contains($('err-' + field))) $('more').open = true;
    const input = $(field);
    if (input && input.tagName === 'INPUT') { input.classList.add('bad'); input.focus(); }
    if (failure.status === 401) localStorage.removeItem(KEY);
  }

  function setKind(kind) {
    state.kind = kind;
    $('kind-expense').classList.toggle('on', kind === 'expense');
    $('kind-income').classList.toggle('on', kind === 'income');
    $('kind-expense').setAttribute('aria-pressed', String(kind === 'expense'));
    $('kind-income').setAttribute('aria-pressed', String(kind === 'income'));
    const names = state.categories[kind];
    if (!names.includes(state.category)) state.category = '';
    drawCategories();
  }
  function drawCategories() {
    const box = $('categories');
    box.textContent = '';
    for (const name of state.categories[state.kind]) {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'chip' + (name === state.category ? ' on' : '');
      b.textContent = name;
      b.addEventListener('click', () => { state.category = name; $('name').placeholder = name; drawCategories(); });
      box.appendChild(b);
    }
  }
  function drawTemplates(templates) {
    const box = $('templates');
    box.textContent = '';
    $('templates-box').classList.toggle('hidden', templates.length === 0);
    for (const t of templates) {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'chip tpl';
      b.textContent = (t.name || t.category) + ' ' + t.amount;
      b.addEventListener('click', () => book({ kind: t.kind, amount: t.amount, category: t.category, name: t.name, comment: t.comment, statistics: t.statistics }));
      box.appendChild(b);
    }
  }
  function drawEntries(list, entries) {
    list.textContent = '';
    for (const e of entries) {
      const li = document.createElement('li');
      const what = document.createElement('span');
      what.className = 'what';
      what.textContent = e.category + (e.name && e.name !== e.category ? ' · ' + e.name : '');
      const when = document.createElement('span');
      when.className = 'when';
      when.textContent = e.time.slice(5, 16);
      const amount = document.createElement('span');
      amount.className = e.kind === 'income' ? 'in' : 'out';
      amount.textContent = signed(e);
      const left = document.createElement('span');
      left.className = 'what';
      left.append(what, document.createElement('br'), when);
      li.append(left, amount);
      list.appendChild(li);
    }
  }
  function sumText(entries) {
    let out = 0, inc = 0;
    for (const e of entries) { if (e.kind === 'income') inc += cents(e.amount); else out += cents(e.amount); }
    return '支出 ' + money(out) + ' · 收入 ' + money(inc);
  }

  async function refresh() {
    const now = new Date();
    const first = new Date(now.getFullYear(), now.getMonth(), 1);
    const last = new Date(now.getFullYear(), now.getMonth() + 1, 0);
    const [me, month] = await Promise.all([api('GET', 'me'), api('GET', 'entries?from=' + day(first) + '&to=' + day(last))]);
    $('who').textContent = me.user;
    $('balance').textContent = me.balance;
    const today = month.entries.filter((e) => e.time.slice(0, 10) === day(now));
    drawEntries($('today'), today);
    drawEntries($('month'), month.entries);
    $('today-sum').textContent = sumText(today);
    $('month-sum').textContent = sumText(month.entries);
  }

  async function book(entry) {
    clearErrors();
    const button = $('book');
    button.disabled = true;
    // A resend after a lost answer carries the same key: the book keeps one entry.
    const idempotencyKey = newKey();
    try {
      let made;
      for (let attempt = 0; ; ++attempt) {
        try { made = await api('POST', 'entries', entry, idempotencyKey); break; } catch (f) {
          if (f.status !== 0 || attempt >= 2) throw f;
        }
      }
      state.last = made;
      $('done-text').textContent = '已记：' + made.category + ' ' + (made.kind === 'income' ? '+' : '-') + made.amount;
      $('done-budget').textContent = made.budget || '';
      $('done').classList.remove('hidden');
      $('undo').classList.remove('hidden');
      $('amount').value = '';
      $('name').value = '';
      $('comment').value = '';
      $('time').value = localNow();
      // The confirmation stands at the top: a page scrolled down to book goes back to it.
      window.scrollTo(0, 0);
      await refresh();
    } catch (f) {
      showError(f);
    } finally {
      button.disabled = false;
    }
  }

  async function undo() {
    if (!state.last) return;
    clearErrors();
    try {
      await api('DELETE', 'entries/' + state.last.id);
      $('done-text').textContent = '已撤销：' + state.last.category + ' ' + state.last.amount;
      $('done-budget').textContent = '';
      state.last = null;
      $('undo').classList.add('hidden');
      await refresh();
    } catch (f) { showError(f); }
  }

  function submit(event) {
    event.preventDefault();
    clearErrors();
    const amount = $('amount').value.trim();
    if (!(cents(amount) > 0)) { showError({ field: 'amount', error: '请输入大于零的金额，最多两位小数。' }); return; }
    if (!state.category) { showError({ field: 'category', error: '请点选一个分类。' }); return; }
    const time = $('time').value;
    const entry = { kind: state.kind, amount, category: state.category, statistics: $('statistics').value };
    if ($('name').value.trim()) entry.name = $('name').value.trim();
    if ($('comment').value.trim()) entry.comment = $('comment').value.trim();
    if (time) entry.time = time.replace('T', ' ') + (time.length === 16 ? ':00' : '');
    book(entry);
  }

  async function start() {
    if (!key) { $('unpaired').classList.remove('hidden'); return; }
    $('app').classList.remove('hidden');
    $('time').value = localNow();
    $('kind-expense').addEventListener('click', () => setKind('expense'));
    $('kind-income').addEventListener('click', () => setKind('income'));
    $('entry').addEventListener('submit', submit);
    $('undo').addEventListener('click', undo);
    try {
      const [categories, templates] = await Promise.all([api('GET', 'categories'), api('GET', 'templates')]);
      state.categories = categories;
      setKind('expense');
      drawTemplates(templates.templates);
      await refresh();
    } catch (f) { showError(f); }
  }
  start();
})();
