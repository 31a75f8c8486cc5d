// The web remote's page: the panel's faders, buttons and rows over one WebSocket. Every
// control sends what it asks for and shows nothing of its own: what the page shows is the
// panel's state as the panel sends it, so that every page and the panel agree.
'use strict';

const TEXTS = {
  en: {
    title: 'Dimmer panel remote',
    howToJoin: 'Scan the code that the panel shows under its button 手機遙控 (phone remote), ' +
      'or type the access token shown there.',
    token: 'Access token', join: 'Join',
    refused: 'The panel did not accept this token: it is not the one the panel shows under ' +
      '手機遙控 (phone remote). Check it, or scan the code.',
    renewed: 'The panel\'s access token was renewed since this phone joined. Scan the new code.',
    malformed: 'That is not an access token: it has 32 digits and letters a–f, shown in groups ' +
      'of four under 手機遙控 (phone remote).',
    channel: n => 'Ch ' + n, master: 'Master', fullOn: 'Full on', off: 'Off', allOff: 'All off',
    blackout: 'Blackout', scenes: 'Scenes', modes: 'Modes', fade: 'Fade time',
    undo: 'Undo', redo: 'Redo', sendAll: 'Send all', download: 'Send settings',
    cues: 'Cue list', go: 'GO', back: 'BACK', cueNow: c => 'Current: ' + (c || '—'),
    cueNext: c => 'Next: ' + (c || '—'), running: ' (running)', paused: ' (paused)',
    seconds: s => s + ' s', changed: 'changed', fading: 'fading: %1%',
    reconnecting: 'Connection lost: reconnecting…',
    line: { up: p => 'Line ' + p + ': up', waiting: p => 'Line ' + p + ': waiting',
      lost: p => 'Line ' + p + ': lost', closed: () => 'Line: not open' },
  },
  zh: {
    title: '調光控制台手機遙控',
    howToJoin: '請掃描控制台「手機遙控」按鈕所顯示的條碼，或輸入那裡顯示的存取碼。',
    token: '存取碼', join: '加入',
    refused: '控制台不接受這個存取碼：它不是控制台「手機遙控」所顯示的存取碼。請核對，或掃描條碼。',
    renewed: '此手機加入後，控制台已更換存取碼。請掃描新的條碼。',
    malformed: '這不是存取碼：存取碼共 32 個數字與字母 a–f，在「手機遙控」中每四個一組顯示。',
    channel: n => '調光' + '一二三四五六七八'[n - 1], master: '調光全', fullOn: '全開', off: '全關',
    allOff: '全關', blackout: '全暗', scenes: '傳送資料', modes: '模式選擇', fade: '淡變時間',
    undo: '復原', redo: '重做', sendAll: '全部重送', download: '傳送設定',
    cues: '序列', go: 'GO', back: 'BACK', cueNow: c => '目前：' + (c || '—'),
    cueNext: c => '下一個：' + (c || '—'), running: '（進行中）', paused: '（暫停）',
    seconds: s => s + ' 秒', changed: '已變更', fading: '淡變中：%1%',
    reconnecting: '連線中斷，重新連線中…',
    line: { up: p => '線路 ' + p + '：正常', waiting: p => '線路 ' + p + '：等待中',
      lost: p => '線路 ' + p + '：已中斷', closed: () => '線路：未開啟' },
  },
};
const LANG = /^zh/i.test(navigator.language || '') ? 'zh' : 'en';
const T = TEXTS[LANG];
const TOKEN_KEY = 'dimmer-panel-token';
// The token with which this phone last joined: a refusal of that one means it was renewed.
const JOINED_KEY = 'dimmer-panel-joined';

const $ = id => document.getElementById(id);
let socket = null;
let joined = false;
let refused = false;
let retryDelay = 500;
let retryTimer = null;
let state = null;

function send(message) {
  if (socket && socket.readyState === WebSocket.OPEN && joined)
    socket.send(JSON.stringify(message));
}

// --- the token: from the code's address once, then kept on the phone -------------------
function takeTokenFromAddress() {
  const match = /(?:^#|&)t=([0-9a-f]{32})(?:&|$)/.exec(location.hash);
  if (!match)
    return;
  localStorage.setItem(TOKEN_KEY, match[1]);
  // Out of the address bar, the history and any bookmark.
  history.replaceState(null, '', location.pathname + location.search);
}

// problem: none, 'malformed' (typed wrong), 'refused' (never matched) or 'renewed'.
function showJoin(problem) {
  $('panel').hidden = true;
  $('offline').hidden = true;
  $('join').hidden = false;
  $('join-why').textContent = problem ? T[problem] : T.howToJoin;
  $('join-why').classList.toggle('problem', !!problem);
}

// The panel refused token: the page forgets it, and says whether it ever matched.
function refuse(token) {
  const renewed = localStorage.getItem(JOINED_KEY) === token;
  localStorage.removeItem(TOKEN_KEY);
  localStorage.removeItem(JOINED_KEY);
  showJoin(renewed ? 'renewed' : 'refused');
}

// --- the controls ----------------------------------------------------------------------
class Fader {
  constructor(parent, name, isMaster, onLevel) {
    this.dragging = false;
    this.level = 0;
    this.pending = null;
    const strip = document.createElement('div');
    strip.className = 'strip' + (isMaster ? ' master' : '');
    strip.innerHTML = '<div class="name"></div><div class="level">0</div>' +
      '<div class="track"><div class="fill"></div><div class="thumb"></div></div>';
    strip.querySelector('.name').textContent = name;
    this.readout = strip.querySelector('.level');
    this.track = strip.querySelector('.track');
    this.fill = strip.querySelector('.fill');
    this.thumb = strip.querySelector('.thumb');
    this.strip = strip;
    this.onLevel = onLevel;
    parent.appendChild(strip);
    this.track.addEventListener('pointerdown', e => this.start(e));
    this.track.addEventListener('pointermove', e => this.move(e));
    this.track.addEventListener('pointerup', e => this.end(e));
    this.track.addEventListener('pointercancel', e => this.end(e));
  }
  levelAt(e) {
    const box = this.track.getBoundingClientRect();
    const part = 1 - (e.clientY - box.top) / box.height;
    return Math.max(0, Math.min(BOARD.full, Math.round(part * BOARD.full)));
  }
  start(e) {
    this.dragging = true;
    this.track.setPointerCapture(e.pointerId);
    this.move(e);
  }
  move(e) {
    if (!this.dragging)
      return;
    e.preventDefault();
    this.show(this.levelAt(e));
    // One message a frame at most, the newest level.
    if (this.pending === null)
      requestAnimationFrame(() => { this.onLevel(this.pending); this.pending = null; });
    this.pending = this.level;
  }
  end(e) {
    if (!this.dragging)
      return;
    this.move(e);
    this.dragging = false;
  }
  show(level) {
    this.level = level;
    this.readout.textContent = level;
    this.fill.style.height = (level / BOARD.full * 100) + '%';
    this.thumb.style.bottom = (level / BOARD.full * 100) + '%';
  }
  take(level) {
    // The thumb under a finger stays with the finger.
    if (!this.dragging)
      this.show(level);
  }
  addButton(text, message) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = text;
    button.addEventListener('click', () => send(message));
    this.strip.appendChild(button);
    return button;
  }
}

const faders = [];
let master = null;
let sceneKeys = [];
let modeKeys = [];

function keyRow(parent, action, count) {
  const keys = [];
  for (let n = 1; n <= count; ++n) {
    const key = document.createElement('button');
    key.type = 'button';
    key.textContent = n;
    key.dataset.n = n;
    key.addEventListener('click', () => send({do: action, n}));
    parent.appendChild(key);
    keys.push(key);
  }
  return keys;
}

function build() {
  document.documentElement.lang = LANG === 'zh' ? 'zh-Hant-TW' : 'en';
  document.title = T.title;
  for (const element of document.querySelectorAll('[data-text]'))
    element.textContent = T[element.dataset.text];
  const box = $('faders');
  box.style.setProperty('--channels', BOARD.channels);
  for (let n = 1; n <= BOARD.channels; ++n) {
    const fader = new Fader(box, T.channel(n), false, v => send({do: 'channel', n, v}));
    fader.strip.id = 'channel-' + n;
    fader.addButton(T.fullOn, {do: 'fullon', n});
    fader.addButton(T.off, {do: 'off', n});
    faders.push(fader);
  }
  master = new Fader(box, T.master, true, v => send({do: 'master', v}));
  master.strip.id = 'master';
  master.addButton(T.fullOn, {do: 'masterfullon'});
  master.addButton(T.allOff, {do: 'alloff'});
  sceneKeys = keyRow($('scenes'), 'scene', BOARD.scenes);
  modeKeys = keyRow($('modes'), 'mode', BOARD.modes);
  for (const action of ['blackout', 'undo', 'redo', 'sendall', 'download', 'go', 'back'])
    $(action).addEventListener('click', () => send({do: action}));
  $('fade').max = BOARD.longestFade;
  let fadePending = null;
  $('fade').addEventListener('input', () => {
    $('fade-out').textContent = T.seconds(($('fade').value / 10).toFixed(1));
    if (fadePending === null)
      requestAnimationFrame(() => { send({do: 'fade', v: fadePending}); fadePending = null; });
    fadePending = Number($('fade').value);
  });
  $('join-form').addEventListener('submit', e => {
    e.preventDefault();
    // As the panel shows it, in groups of four, or typed any other way.
    const token = $('token-input').value.replace(/[\s-]/g, '').toLowerCase();
    if (!/^[0-9a-f]{32}$/.test(token)) {
      showJoin('malformed');
      return;
    }
    localStorage.setItem(TOKEN_KEY, token);
    $('token-input').value = '';
    refused = false;
    connect();
  });
}

function render(s) {
  state = s;
  s.ch.forEach((level, i) => faders[i].take(level));
  master.take(s.m);
  sceneKeys.forEach((key, i) => {
    // The scene being faded to fills with green as its time passes; it is live, green,
    // only once the levels have landed on it.
    const fading = s.to === i + 1;
    const live = s.live === i + 1 && !fading;
    key.classList.toggle('fading', fading);
    key.style.setProperty('--done', fading ? s.pc + '%' : '0%');
    key.classList.toggle('live', live);
    key.classList.toggle('changed', live && s.changed);
    key.title = fading ? T.fading.replace('%1', s.pc) : live && s.changed ? T.changed : '';
  });
  modeKeys.forEach((key, i) => key.classList.toggle('selected', s.mode === i + 1));
  $('blackout').classList.toggle('on', s.bo);
  $('blackout').setAttribute('aria-pressed', s.bo ? 'true' : 'false');
  if (document.activeElement !== $('fade')) {
    $('fade').value = s.fade;
    $('fade-out').textContent = T.seconds((s.fade / 10).toFixed(1));
  }
  $('cue-now').textContent =
    T.cueNow(s.cue) + (s.held ? T.paused : s.run ? T.running : '');
  $('cue-next').textContent = T.cueNext(s.next);
  const line = $('line');
  line.textContent = (T.line[s.line] || T.line.closed)(s.port);
  line.className = 'line ' + s.line;
}

// --- the connection: it comes back by itself when a phone wakes --------------------------
function connect() {
  clearTimeout(retryTimer);
  retryTimer = null;
  const token = localStorage.getItem(TOKEN_KEY);
  if (!token) {
    showJoin(false);
    return;
  }
  if (socket)
    socket.close();
  const ws = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') +
    location.host + '/ws');
  socket = ws;
  joined = false;
  ws.onopen = () => { ws.send(JSON.stringify({hello: token})); joined = true; };
  ws.onmessage = e => {
    if (ws !== socket)
      return;
    let message;
    try { message = JSON.parse(e.data); } catch (error) { return; }
    if (message.refused === 'token') {
      refused = true;
      refuse(token);
    } else if (message.state) {
      retryDelay = 500;
      localStorage.setItem(JOINED_KEY, token);
      $('join').hidden = true;
      $('offline').hidden = true;
      $('panel').hidden = false;
      render(message.state);
    }
  };
  ws.onclose = e => {
    if (ws !== socket)
      return;
    socket = null;
    joined = false;
    // Renewed, or refused: the old token is no good; the page shows how to join.
    if (e.reason === 'token renewed') {
      localStorage.setItem(JOINED_KEY, token);
      refuse(token);
      return;
    }
    if (refused || e.reason === 'wrong token') {
      if (!refused)
        refuse(token);
      return;
    }
    if (state)
      $('offline').hidden = false;
    retryTimer = setTimeout(connect, retryDelay);
    retryDelay = Math.min(retryDelay * 2, 8000);
  };
}

// A phone that wakes from sleep tries at once rather than at the end of its backoff.
function wake() {
  if (document.visibilityState === 'visible' && !socket && localStorage.getItem(TOKEN_KEY)) {
    retryDelay = 500;
    connect();
  }
}

build();
takeTokenFromAddress();
document.addEventListener('visibilitychange', wake);
window.addEventListener('online', wake);
window.addEventListener('pageshow', wake);
connect();
