#!/usr/bin/env python3
"""The web remote in a real browser: Debian's headless Chromium, driven by Selenium as a
phone held upright (a phone-sized viewport with touch), before the real panel on the
loopback. The panel runs offscreen on the virtual board's pseudo-terminal; what reaches
the board is read from the board's --dump lines, and what the desk holds from the panel's
own OSC feedback.

Checks: two pages join with the token (one by the code's address, one by typing it as the
dialog shows it, after what is no token and a token that never matched, each told apart); a
fader dragged by touch on one moves the desk, the board and the other page; a page without
the token changes nothing; a scene recalled on the panel (by OSC) shows on both pages; undo
and redo on a page take a blackout back and bring it back; a flood of pings that nobody
reads, from pages before and after the token, grows the panel's memory (its resident set,
from /proc) by at most 30 MB; loading the pages turns none away;
after a restart with another token, the pages say it was renewed; the token never shows in
a page's address or in what the panel prints.

Arguments: the panel and the board programs."""

import base64
import json
import os
import queue
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

PANEL, BOARD = sys.argv[1], sys.argv[2]
SCENE_2 = [10, 20, 30, 40, 50, 60, 70, 80]
FLOOD_SECONDS = 10
MOST_GROWTH_MB = 30
failures = []
checks = []


def check(condition, what):
    checks.append(what)
    if not condition:
        failures.append(what)
    print('PASS:' if condition else 'FAIL:', what, flush=True)


def wait_for(predicate, seconds=5.0, step=0.01):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


def free_port(kind):
    with socket.socket(socket.AF_INET, kind) as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def osc(address, *ints):
    def padded(b):
        return b + b'\0' * (4 - len(b) % 4)
    return padded(address.encode()) + padded((',' + 'i' * len(ints)).encode()) + \
        b''.join(struct.pack('>i', v) for v in ints)


def read_osc(datagram):
    end = datagram.index(b'\0')
    address = datagram[:end].decode()
    return address, struct.unpack('>i', datagram[-4:])[0]


def ws_frame(opcode, payload):
    mask = os.urandom(4)
    return bytes([0x80 | opcode, 0x80 | len(payload)]) + mask + \
        bytes(b ^ mask[i % 4] for i, b in enumerate(payload))


def raw_page(port, token=None):
    """A page's WebSocket opened by hand, as a browser opens it, and joined with token."""
    s = socket.create_connection(('127.0.0.1', port))
    s.sendall(('GET /ws HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nOrigin: http://127.0.0.1:%d\r\n'
               'Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n'
               'Sec-WebSocket-Key: %s\r\n\r\n'
               % (port, port, base64.b64encode(os.urandom(16)).decode())).encode())
    s.settimeout(5)
    answer = s.recv(4096)
    if token:
        s.sendall(ws_frame(1, json.dumps({'hello': token}).encode()))
        answer += s.recv(4096)
    return s if answer.startswith(b'HTTP/1.1 101') else None


def flood(s, until):
    """Pings, as fast as they go, until then; their answers are never read."""
    pings = ws_frame(0x9, b'p' * 125) * 64
    try:
        while time.monotonic() < until:
            s.sendall(pings)
    except OSError:
        pass


def resident_mb(pid):
    with open('/proc/%d/status' % pid) as f:
        return next(int(line.split()[1]) / 1024 for line in f if line.startswith('VmRSS:'))


class Lines:
    """A child's output, line by line, as it comes."""

    def __init__(self, stream):
        self.lines = queue.Queue()
        self.all = []
        threading.Thread(target=self._read, args=(stream,), daemon=True).start()

    def _read(self, stream):
        for line in iter(stream.readline, ''):
            self.all.append(line.rstrip('\n'))
            self.lines.put(line.rstrip('\n'))

    def next(self, seconds=5.0):
        try:
            return self.lines.get(timeout=seconds)
        except queue.Empty:
            return None

    def drain(self):
        taken = []
        while not self.lines.empty():
            taken.append(self.lines.get())
        return taken


def browser(language):
    options = webdriver.ChromeOptions()
    options.binary_location = os.environ.get('DIMMER_CHROMIUM', '/usr/bin/chromium')
    for argument in ('--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run',
                     '--disable-extensions', '--disable-background-networking',
                     '--lang=' + language):
        options.add_argument(argument)
    options.add_experimental_option('mobileEmulation', {
        'deviceMetrics': {'width': 390, 'height': 844, 'pixelRatio': 2, 'touch': True},
        'userAgent': 'Mozilla/5.0 (Linux; Android 13; Pixel 7) AppleWebKit/537.36 '
                     '(KHTML, like Gecko) Chrome/120.0 Mobile Safari/537.36'})
    options.add_experimental_option('prefs', {'intl.accept_languages': language})
    driver = webdriver.Chrome(
        service=Service(os.environ.get('DIMMER_CHROMEDRIVER', '/usr/bin/chromedriver')),
        options=options)
    return driver


def shown_levels(driver):
    return driver.execute_script(
        "return Array.from(document.querySelectorAll('#faders .level'))"
        ".map(e => Number(e.textContent));")


def touch_drag(driver, element_id, fractions):
    """Drags a finger along a fader's track, from the first height fraction to the last."""
    box = driver.execute_script(
        "const r = document.querySelector('#' + arguments[0] + ' .track')"
        ".getBoundingClientRect(); return [r.left, r.top, r.width, r.height];", element_id)
    x = box[0] + box[2] / 2
    points = [box[1] + box[3] * (1 - f) for f in fractions]
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
        'type': 'touchStart', 'touchPoints': [{'x': x, 'y': points[0]}]})
    for y in points[1:]:
        driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
            'type': 'touchMove', 'touchPoints': [{'x': x, 'y': y}]})
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchEnd', 'touchPoints': []})


def main():
    folder = tempfile.TemporaryDirectory(prefix='tst_webremote-')
    home = folder.name
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + '/config',
               XDG_STATE_HOME=home + '/state', XDG_DATA_HOME=home + '/data',
               XDG_CACHE_HOME=home + '/cache', XDG_RUNTIME_DIR=home + '/runtime',
               QT_QPA_PLATFORM='offscreen', LC_ALL='C.UTF-8')
    # Under AddressSanitizer freed memory waits in a quarantine of 256 MB before it is used
    # again: without it, what the panel holds is what it uses.
    if 'ASAN_OPTIONS' in env:
        env['ASAN_OPTIONS'] += ':quarantine_size_mb=0'
    os.makedirs(home + '/runtime', mode=0o700)
    # The browsers too keep what they write in the test's folder.
    os.environ.update({k: v for k, v in env.items() if k.startswith(('HOME', 'XDG_'))})
    scenes = home + '/scenes.co'
    with open(scenes, 'wb') as f:
        f.write(bytes(8) + bytes(SCENE_2))

    cues = home + '/show.cues'
    with open(cues, 'w') as f:
        f.write('dimmer-panel cues 1\n'
                '1\t0.0\t0.0\t0.0\t-\t11 12 13 14 15 16 17 18\tFirst\n'
                '2\t0.0\t0.0\t0.0\t-\t21 22 23 24 25 26 27 28\tSecond\n')

    board = subprocess.Popen([BOARD, '--dump', '--full-speed'], env=env, text=True,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    board_lines = Lines(board.stdout)
    pty = board_lines.next()
    check(pty is not None and pty.startswith('/dev/'), 'the virtual board tells its line')

    feedback = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    feedback.bind(('127.0.0.1', 0))
    feedback.settimeout(0.1)
    web_port = free_port(socket.SOCK_STREAM)
    osc_port = free_port(socket.SOCK_DGRAM)
    def start_panel():
        panel = subprocess.Popen(
            [PANEL, '--port', pty, '--scene-file', scenes, '--cues', cues,
             '--web', '127.0.0.1:%d' % web_port,
             '--osc', '127.0.0.1:%d' % osc_port,
             '--osc-feedback', '127.0.0.1:%d' % feedback.getsockname()[1]],
            env=env, text=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        return panel, Lines(panel.stderr)

    def end_panel():
        panel.send_signal(signal.SIGTERM)
        try:
            panel.wait(10)
        except subprocess.TimeoutExpired:
            panel.kill()
        return panel.stdout.read(), '\n'.join(panel_err.all)

    panel, panel_err = start_panel()
    page_url = 'http://127.0.0.1:%d/' % web_port

    def up():
        try:
            return urllib.request.urlopen(page_url, timeout=1).status == 200
        except OSError:
            return False
    check(wait_for(up, 10), 'the panel serves the page')
    with open('/proc/%d/maps' % panel.pid) as f:
        mapped = f.read()
    check('libssl' not in mapped and 'libcrypto.' not in mapped,
          'the web remote, plain HTTP, maps no TLS library')
    with open(home + '/state/dimmer-panel/web-token') as f:
        token = f.read().strip()
    check(os.stat(home + '/state/dimmer-panel/web-token').st_mode & 0o777 == 0o600,
          'the token file is its owner\'s alone')

    drivers = []
    try:
        started = time.monotonic()
        a = browser('en-US')
        drivers.append(a)
        b = browser('zh-TW')
        drivers.append(b)
        print('two browsers in %.1f s' % (time.monotonic() - started), flush=True)

        # A joins by the code's address, which it then takes out of its address bar.
        a.get(page_url + '#t=' + token)
        check(wait_for(lambda: a.find_element(By.ID, 'panel').is_displayed()),
              'a page with the token shows the panel')
        check(token not in a.current_url, 'the token is gone from the page\'s address')
        check(a.execute_script("return localStorage.getItem('dimmer-panel-token')") == token,
              'the page keeps the token')

        # B comes without the token: it shows how to join, and what it sends changes nothing.
        b.get(page_url)
        loaded = time.monotonic()
        check(wait_for(lambda: b.find_element(By.ID, 'join').is_displayed()),
              'a page without the token shows how to join')
        check(not b.find_element(By.ID, 'panel').is_displayed(),
              'a page without the token shows no controls')
        check(b.find_element(By.ID, 'blackout').get_attribute('textContent') == '全暗',
              'a page in Traditional Chinese says 全暗')
        board_lines.drain()
        b.execute_script("""
            const ws = new WebSocket('ws://' + location.host + '/ws');
            ws.onopen = () => {
              for (const m of [{do: 'fullon', n: 1}, {do: 'master', v: 99}, {do: 'blackout'},
                               {hello: '0123456789abcdef0123456789abcdef'}])
                ws.send(JSON.stringify(m));
            };""")
        time.sleep(0.5)
        check(board_lines.drain() == [], 'the board sees no byte from a page without the token')

        # B types what is no token, then a token that never matched: each is told so. Then
        # it joins by typing the token as the dialog shows it, in groups, or with dashes, in
        # capitals.
        def typed(text):
            b.find_element(By.ID, 'token-input').clear()
            b.find_element(By.ID, 'token-input').send_keys(text)
            b.find_element(By.CSS_SELECTOR, '#join-form button').click()

        def why(driver):
            return driver.find_element(By.ID, 'join-why').get_attribute('textContent')
        typed('1234')
        check(wait_for(lambda: why(b).startswith('這不是存取碼')),
              'a page says what it was given is no token')
        typed('ffff' * 8)
        check(wait_for(lambda: why(b).startswith('控制台不接受這個存取碼：它不是')),
              'a page says a token never matched, and not that it was renewed')
        typed('-'.join(token[i:i + 4] for i in range(0, 32, 4)).upper())
        check(wait_for(lambda: b.find_element(By.ID, 'panel').is_displayed()),
              'a page that typed the token in groups shows the panel')

        # A finger drags channel 3 on A.
        touch_drag(a, 'channel-3', [0.1, 0.3, 0.5, 0.6])
        level = wait_for(lambda: shown_levels(a)[2] or None)
        check(level is not None and 55 <= level <= 65, 'the dragged fader shows its level')
        check(wait_for(lambda: 'level 2 %d' % level in ' '.join(board_lines.all)),
              'the board gets the level')
        heard = {}
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline and heard.get('/dimmer/channel/3') != level:
            try:
                address, value = read_osc(feedback.recv(256))
                heard[address] = value
            except socket.timeout:
                pass
        check(heard.get('/dimmer/channel/3') == level, 'the desk holds the level')
        check(wait_for(lambda: shown_levels(b)[2] == level), 'the other page shows the level')

        # A scene recalled on the panel shows on both pages, and how soon.
        b.execute_script("""
            window.changedAt = null;
            new MutationObserver(() => { if (window.changedAt === null)
              window.changedAt = performance.timeOrigin + performance.now(); })
              .observe(document.querySelector('#channel-1 .level'),
                       {childList: true, characterData: true, subtree: true});""")
        sender = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sent_at = time.time()
        sender.sendto(osc('/dimmer/scene/2'), ('127.0.0.1', osc_port))
        for driver, name in ((a, 'A'), (b, 'B')):
            check(wait_for(lambda: shown_levels(driver)[:8] == SCENE_2),
                  'page %s shows the recalled scene' % name)
            check(driver.execute_script(
                "return document.querySelectorAll('#scenes button')[1].classList"
                ".contains('live')"), 'page %s marks scene 2 live' % name)
        changed_at = b.execute_script('return window.changedAt')
        if changed_at:
            print('recall to page: %.1f ms' % (changed_at - sent_at * 1000), flush=True)
            check(changed_at - sent_at * 1000 < 250, 'the page follows the panel at once')

        # A fade shows on the scene's key how far it has come; the scene is live, green, only
        # once the levels have landed on it.
        def key_is(driver, n, what):
            return driver.execute_script(
                "return document.querySelectorAll('#scenes button')[%d].classList"
                ".contains('%s')" % (n - 1, what))
        sender.sendto(osc('/dimmer/fade', 2), ('127.0.0.1', osc_port))
        sender.sendto(osc('/dimmer/scene/1'), ('127.0.0.1', osc_port))
        check(wait_for(lambda: key_is(a, 1, 'fading') and not key_is(a, 1, 'live')),
              'a page shows the fade under way, not yet live')
        check(wait_for(lambda: key_is(a, 1, 'live') and not key_is(a, 1, 'fading'), 5),
              'and the scene live once it has landed')
        sender.sendto(osc('/dimmer/fade', 0), ('127.0.0.1', osc_port))

        # A phone that slept lost its connection: the page comes back by itself and shows
        # what changed meanwhile.
        a.execute_script('socket.close()')
        sender.sendto(osc('/dimmer/channel/5', 77), ('127.0.0.1', osc_port))
        check(wait_for(lambda: shown_levels(a)[4] == 77, 10),
              'a page that lost its connection comes back with the current state')

        # GO on one page runs the standby cue; both pages show the current and the next.
        check(wait_for(lambda: a.find_element(By.ID, 'cue-next').text == 'Next: 1 First'),
              'a page shows the standby cue')
        a.find_element(By.ID, 'go').click()
        check(wait_for(lambda: 'level 7 18' in ' '.join(board_lines.all)),
              'GO on a page runs the cue on the board')
        check(wait_for(lambda: b.find_element(By.ID, 'cue-now').text == '目前：1 First' and
                       b.find_element(By.ID, 'cue-next').text == '下一個：2 Second'),
              'the other page shows the current cue and the next')

        # Blackout from B shows on A as the window's red button does.
        b.find_element(By.ID, 'blackout').click()
        check(wait_for(lambda: 'on' in a.find_element(By.ID, 'blackout').get_attribute('class')),
              'blackout from one page shows on the other')
        b.find_element(By.ID, 'undo').click()
        check(wait_for(lambda: 'on' not in a.find_element(By.ID, 'blackout').get_attribute('class')),
              'undo from a page takes the blackout back')
        b.find_element(By.ID, 'redo').click()
        check(wait_for(lambda: 'on' in a.find_element(By.ID, 'blackout').get_attribute('class')),
              'and redo brings it back')

        # Pages that send pings as fast as they can and never read, four before the token
        # and four that joined.
        start = most = resident_mb(panel.pid)
        floods = [raw_page(web_port) for _ in range(4)] + \
            [raw_page(web_port, token) for _ in range(4)]
        check(all(floods), 'pages open and join by hand')
        until = time.monotonic() + FLOOD_SECONDS
        threads = [threading.Thread(target=flood, args=(s, until)) for s in floods if s]
        for thread in threads:
            thread.start()
        while time.monotonic() < until:
            most = max(most, resident_mb(panel.pid))
            time.sleep(0.2)
        for thread in threads:
            thread.join()
        for s in floods:
            s and s.close()
        time.sleep(1)
        after = resident_mb(panel.pid)
        print('resident: %.1f MB before the flood, %.1f MB at most, %.1f MB after'
              % (start, most, after), flush=True)
        check(most - start <= MOST_GROWTH_MB and after - start <= MOST_GROWTH_MB,
              'a flood of pings grows the panel by at most %d MB' % MOST_GROWTH_MB)
        b.find_element(By.ID, 'blackout').click()
        check(wait_for(lambda: 'on' not in a.find_element(By.ID, 'blackout').get_attribute('class')),
              'the pages work on after the flood')

        # The connections that loaded the pages have run out their time by now.
        time.sleep(max(0.0, loaded + 11 - time.monotonic()))
        out, err = end_panel()
        check(any(line.startswith('dimmer-panel: Web: ') for line in panel_err.all),
              'the web counts are printed at the end')
        check(token not in err and token not in out, 'the token is never printed')
        check('2 wrong tokens' in err and '3 controls without the token' in err,
              'the refused messages are counted')
        check('0 pages turned away' in err, 'loading the pages turns none away')
        print(err, flush=True)

        # The panel starts again with another token: the pages that had joined with the
        # old one say it was renewed.
        with open(home + '/state/dimmer-panel/web-token', 'w') as f:
            f.write('0123456789abcdef' * 2 + '\n')
        panel, panel_err = start_panel()
        for driver, name in ((a, 'A'), (b, 'B')):
            check(wait_for(lambda: driver.find_element(By.ID, 'join').is_displayed(), 20),
                  'page %s shows how to join again' % name)
        check(why(a).startswith('The panel\'s access token was renewed'),
              'a page that had joined says the token was renewed')
    finally:
        for driver in drivers:
            driver.quit()
        end_panel()
        time.sleep(0.1)
        board.terminate()
        board.wait(5)

    print('%d passed, %d failed' % (len(checks) - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
