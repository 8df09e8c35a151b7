#!/usr/bin/env python3
# A Linux client of the live display that a Windows program serves under Wine: the page, the
# evening's data and the WebSocket's first message, then the next message that names NAME.
#   anzeige_abruf.py PORT NAME BEREIT HALB
# BEREIT is written once the WebSocket has its first message; the findings go to HALB as JSON.
import base64
import hashlib
import json
import os
import socket
import sys
import time
import urllib.request

port, name, bereit, halb = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
basis = f"http://127.0.0.1:{port}"
ergebnis = {}


def holen(pfad):
    with urllib.request.urlopen(basis + pfad, timeout=10) as r:
        return {"status": r.status, "typ": r.headers.get("Content-Type", ""),
                "text": r.read().decode("utf-8")}


ergebnis["seite"] = holen("/")
ergebnis["abend"] = holen("/daten/abend")

s = socket.create_connection(("127.0.0.1", port), timeout=15)
schluessel = base64.b64encode(os.urandom(16)).decode()
s.sendall((f"GET /live HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUpgrade: websocket\r\n"
           f"Connection: Upgrade\r\nSec-WebSocket-Key: {schluessel}\r\n"
           "Sec-WebSocket-Version: 13\r\n\r\n").encode())
puffer = b""
while b"\r\n\r\n" not in puffer:
    teil = s.recv(4096)
    if not teil:
        raise SystemExit("WebSocket: Verbindung ohne Antwort geschlossen")
    puffer += teil
kopf, puffer = puffer.split(b"\r\n\r\n", 1)
erwartet = base64.b64encode(hashlib.sha1(
    (schluessel + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11").encode()).digest()).decode()
ergebnis["handschlag"] = {"status": kopf.split(b"\r\n")[0].decode(),
                          "annahme_stimmt": erwartet.encode() in kopf}


def bytes_lesen(n):
    global puffer
    while len(puffer) < n:
        teil = s.recv(65536)
        if not teil:
            raise SystemExit("WebSocket: Verbindung geschlossen")
        puffer += teil
    stueck, puffer = puffer[:n], puffer[n:]
    return stueck


def nachricht():
    daten = b""
    while True:
        b0, b1 = bytes_lesen(2)
        laenge = b1 & 0x7F
        if laenge == 126:
            laenge = int.from_bytes(bytes_lesen(2), "big")
        elif laenge == 127:
            laenge = int.from_bytes(bytes_lesen(8), "big")
        maske = bytes_lesen(4) if b1 & 0x80 else None
        nutz = bytes_lesen(laenge)
        if maske:
            nutz = bytes(c ^ maske[i % 4] for i, c in enumerate(nutz))
        if b0 & 0x0F in (0x9, 0xA):  # ping, pong
            continue
        if b0 & 0x0F == 0x8:
            raise SystemExit("WebSocket: vom Server geschlossen")
        daten += nutz
        if b0 & 0x80:
            return daten.decode("utf-8")


ergebnis["erste"] = nachricht()
open(bereit, "w").close()
ende = time.time() + 20
ergebnis["danach"] = None
while time.time() < ende:
    m = nachricht()
    if name in m:
        ergebnis["danach"] = m
        break
with open(halb, "w", encoding="utf-8") as f:
    json.dump(ergebnis, f, ensure_ascii=False)
