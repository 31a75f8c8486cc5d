#!/usr/bin/python3
"""Draws docs/web-remote.png for the README: the web remote on a phone held upright (Debian's
headless Chromium 390 wide, twice the pixels, the whole page as it scrolls), before the real panel on the virtual
board, with levels set, mode 3 selected, scene 2 recalled and then changed, a fade time, and
a cue list standing by.

    scripts/web-screenshot.py        # after scripts/setup.sh (Debian's python3-selenium)
"""
import base64
import os
import socket
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, 'build')


def osc(address, *arguments):
    def padded(b):
        return b + b'\0' * (4 - len(b) % 4)
    tags = ',' + ''.join('f' if isinstance(a, float) else 'i' for a in arguments)
    data = b''.join(struct.pack('>f' if isinstance(a, float) else '>i', a) for a in arguments)
    return padded(address.encode()) + padded(tags.encode()) + data


def free_port(kind):
    with socket.socket(socket.AF_INET, kind) as probe:
        probe.bind(('127.0.0.1', 0))
        return probe.getsockname()[1]


def main():
    home = tempfile.TemporaryDirectory(prefix='web-screenshot-').name
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + '/config',
               XDG_STATE_HOME=home + '/state', XDG_DATA_HOME=home + '/data',
               XDG_CACHE_HOME=home + '/cache', QT_QPA_PLATFORM='offscreen', LC_ALL='C.UTF-8')
    os.environ.update({k: v for k, v in env.items() if k.startswith(('HOME', 'XDG_'))})
    os.makedirs(home, exist_ok=True)
    scenes = home + '/scenes.co'
    with open(scenes, 'wb') as f:
        f.write(bytes(8) + bytes([10, 20, 60, 40, 50, 60, 70, 99]))
    cues = home + '/show.cues'
    with open(cues, 'w') as f:
        f.write('dimmer-panel cues 1\n'
                '1\t3.0\t3.0\t0.0\t-\t30 30 30 30 0 0 0 0\t開場\n'
                '2\t5.0\t2.0\t0.0\t-\t80 80 60 60 40 0 0 0\t第一幕\n')
    board = subprocess.Popen([BUILD + '/src/board/dimmer-board', '--dump', '--full-speed'],
                             env=env, text=True, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
    pty = board.stdout.readline().strip()
    web, remote = free_port(socket.SOCK_STREAM), free_port(socket.SOCK_DGRAM)
    panel = subprocess.Popen([BUILD + '/src/dimmer-panel', '--port', pty, '--scene-file', scenes,
                              '--cues', cues, '--web', '127.0.0.1:%d' % web, '--osc', '127.0.0.1:%d' % remote],
                             env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    driver = None
    try:
        url = 'http://127.0.0.1:%d/' % web
        for _ in range(100):
            try:
                urllib.request.urlopen(url, timeout=1)
                break
            except OSError:
                time.sleep(0.1)
        hand = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        for message in (osc('/dimmer/mode/3'), osc('/dimmer/scene/2'),
                        osc('/dimmer/channel/5', 35), osc('/dimmer/fade', 2.5)):
            hand.sendto(message, ('127.0.0.1', remote))
            time.sleep(0.1)
        with open(home + '/state/dimmer-panel/web-token') as f:
            token = f.read().strip()
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for argument in ('--headless=new', '--no-sandbox', '--disable-gpu', '--lang=zh-TW',
                         '--hide-scrollbars'):
            options.add_argument(argument)
        options.add_experimental_option('mobileEmulation', {
            'deviceMetrics': {'width': 390, 'height': 844, 'pixelRatio': 2, 'touch': True}})
        options.add_experimental_option('prefs', {'intl.accept_languages': 'zh-TW'})
        driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        driver.get(url + '#t=' + token)
        for _ in range(100):
            if driver.find_element(By.ID, 'panel').is_displayed():
                break
            time.sleep(0.1)
        time.sleep(0.5)
        # The whole page, as a phone shows it scrolled: the row below the cue list too, at
        # the phone's own height (the faders' tracks are a share of it).
        height = driver.execute_script('return document.documentElement.scrollHeight')
        shot = driver.execute_cdp_cmd('Page.captureScreenshot', {
            'format': 'png', 'captureBeyondViewport': True,
            'clip': {'x': 0, 'y': 0, 'width': 390, 'height': height, 'scale': 1}})
        out = os.path.join(ROOT, 'docs', 'web-remote.png')
        with open(out, 'wb') as f:
            f.write(base64.b64decode(shot['data']))
        print(os.path.relpath(out, ROOT))
    finally:
        if driver:
            driver.quit()
        panel.terminate()
        board.terminate()
        panel.wait()
        board.wait()


if __name__ == '__main__':
    sys.exit(main())
