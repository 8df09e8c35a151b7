#!/usr/bin/python3
"""Drives headless Chromium for the live display's test, line by line over stdin/stdout.

Usage: browser.py URL PROFILE_DIR
  warte NAME      waits up to 2 s for a row of that name; "ok MS" or "fehlt ..."
  neu             the name of the highlighted row
  bild PATH       a screenshot of the page at 1920x1080
  breite          page width, right edge of the rows, "gekuerzt" when a name is cut
  ende
"""
import json
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service

ZEILEN = ("return [...document.querySelectorAll('#liste tbody tr')]"
          ".map(r => [r.className, r.querySelector('td.name').textContent])")

BREITE = ("const z = [...document.querySelectorAll('#liste tbody tr')];"
          "return [document.documentElement.scrollWidth,"
          " Math.ceil(Math.max(0, ...z.map(r => r.getBoundingClientRect().right))),"
          " z.some(r => { const n = r.querySelector('td.name');"
          " return n.scrollWidth > n.clientWidth; })];")


def main():
    url, profil = sys.argv[1], sys.argv[2]
    optionen = Options()
    optionen.binary_location = "/usr/bin/chromium"
    for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
              "--window-size=1920,1080", "--user-data-dir=" + profil,
              "--no-first-run", "--no-default-browser-check"):
        optionen.add_argument(a)
    browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=optionen)
    try:
        browser.set_window_size(1920, 1080)
        browser.get(url)
        # A reload would lose this mark: updates must come without one.
        browser.execute_script("window.zkMarke = 1")
        print("bereit", flush=True)
        for zeile in sys.stdin:
            befehl, _, wert = zeile.strip().partition(" ")
            if befehl == "warte":
                anfang = time.monotonic()
                zeilen = []
                while time.monotonic() - anfang < 2.0:
                    zeilen = browser.execute_script(ZEILEN)
                    if any(name == wert for _, name in zeilen):
                        break
                    time.sleep(0.02)
                ms = int((time.monotonic() - anfang) * 1000)
                marke = browser.execute_script("return window.zkMarke")
                gefunden = any(name == wert for _, name in zeilen)
                if gefunden and marke == 1:
                    print("ok %d" % ms, flush=True)
                else:
                    print("fehlt %s Marke=%s" % (json.dumps(zeilen), marke), flush=True)
            elif befehl == "neu":
                neu = [name for klasse, name in browser.execute_script(ZEILEN) if klasse == "neu"]
                print("neu " + ",".join(neu), flush=True)
            elif befehl == "bild":
                # the page as a 1920x1080 screen shows it
                browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": 1920, "height": 1080, "deviceScaleFactor": 1, "mobile": False})
                browser.save_screenshot(wert)
                print("ok", flush=True)
            elif befehl == "breite":
                # the page's width, the right edge of the widest row, whether a name is cut
                browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": 1920, "height": 1080, "deviceScaleFactor": 1, "mobile": False})
                b = browser.execute_script(BREITE)
                print("breite %d %d %s" % (b[0], b[1], "gekuerzt" if b[2] else "ganz"),
                      flush=True)
            elif befehl == "ende":
                break
    finally:
        browser.quit()


if __name__ == "__main__":
    main()
