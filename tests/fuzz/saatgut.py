#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (tests/fuzz/corpus/<target>) from the
project's test data: the cards of tests/data/karten.txt as each machine sends them (the
way the machine simulator frames them), the mdbtools texts of a club file, typical
settings files, requests, range rows, search texts and listings."""
import os
import struct
import sys

HIER = os.path.dirname(os.path.abspath(__file__))
DATEN = os.path.join(HIER, '..', 'data')
KORPUS = os.path.join(HIER, 'corpus')
STX, ETB, ENQ, ACK, NAK, CR = b'\x02', b'\x17', b'\x05', b'\x06', b'\x15', b'\r'


def schreiben(ziel, name, daten):
    ordner = os.path.join(KORPUS, ziel)
    os.makedirs(ordner, exist_ok=True)
    with open(os.path.join(ordner, name), 'wb') as f:
        f.write(daten)


def karten():
    """The cards of karten.txt: lists of (ring, teiler, x, y, korrektur)."""
    alle, karte = [], []
    for zeile in open(os.path.join(DATEN, 'karten.txt'), encoding='utf-8'):
        zeile = zeile.strip()
        if not zeile or zeile.startswith('#'):
            continue
        if zeile == '---':
            alle.append(karte)
            karte = []
            continue
        f = zeile.split(';')
        karte.append((f[0], float(f[1]), float(f[2]), float(f[3]), len(f) > 4 and f[4] == 'M'))
    if karte:
        alle.append(karte)
    return alle


# ---- the machines' operations (see fuzz_maschine.cpp) --------------------------------------

def zufuehren(text):
    """Feed operations of up to 32 bytes each, a poll tick after each."""
    out = b''
    for i in range(0, len(text), 32):
        stueck = text[i:i + 32]
        out += bytes([((len(stueck) - 1) << 3) | 0]) + stueck + b'\x03'
    return out


def komma(v, n):
    return (('%.' + str(n) + 'f') % v).replace('.', ',').encode()


def rm3(programm=0):
    out = bytes([programm])
    slot = 1
    for karte in karten():
        text = b''
        for ring, teiler, x, y, m in karte:
            text += b'%d;%s;%.1f;%s;%s;' % (slot, ring.encode(), teiler, komma(x, 2), komma(y, 2))
            text += (b'M' if m else b'') + CR
            slot += 1
        out += zufuehren(text + b'SCHEIBE' + CR)
    return out + zufuehren(b'ENDE' + CR)


def pruef(text):
    x = 0
    for c in text:
        x ^= c
    return bytes([x + 32 if x < 32 else x])


def rm3win(programm=1, doppelt=False):
    out = bytes([programm]) + zufuehren(STX) + zufuehren(b'SNR=4711' + pruef(b'SNR=4711') + CR)
    out += zufuehren(STX)
    slot = 1
    import math
    for karte in karten():
        for ring, teiler, x, y, m in karte:
            winkel = math.degrees(math.atan2(x, -y)) % 360
            text = b'SCH=%d;%s;%s;%s;%s;' % (slot, ring.encode(), komma(teiler, 1), komma(winkel, 1),
                                             b'U' if m else b'')
            zeile = text + pruef(text) + CR
            out += zufuehren(zeile)
            if doppelt:
                out += zufuehren(zeile)  # the ACK came late: the line again
            slot += 1
        for t in (b'WSC=1', b'STAF'):
            out += zufuehren(t + pruef(t) + CR)
    return out + zufuehren(b'WSE' + pruef(b'WSE') + CR) + b'\x04\x06'


def sam_block(nr, karte):
    block = b'SAM' + CR + str(nr).encode() + CR + b'LG' + CR + b'-' + CR + b'-' + CR + b'-' + CR
    for ring, teiler, x, y, m in karte:
        block += ring.encode().rjust(2, b'0') + CR + komma(teiler, 1) + CR
        block += str(round(-y * 240)).encode() + CR + str(round(-x * 240)).encode() + CR
    for _ in range(len(karte), 10):
        block += b'??.?' + CR + b'????.?' + CR + b'-0001' + CR + b'-0001' + CR
    return block


def sam_rahmen(block):
    x = 0
    for c in STX + block + ETB:
        x ^= c
    return STX + block + ETB + bytes([x]) + b'$'


def sam(programm=2, wiederholt=False, roh=False):
    out = bytes([programm]) + b'\x03' + zufuehren(NAK)
    for nr, karte in enumerate(karten()):
        block = sam_block(nr, karte)
        if roh:
            # the frame's bytes in pieces, as the port delivers them
            out += zufuehren(sam_rahmen(block))
        else:
            n = len(block)
            out += bytes([((n >> 8) << 3) | 4, n & 0xff]) + block
            if wiederholt:
                out += b'\x05'  # our ACK was lost: the same frame again
        out += b'\x03\x03'
    return out + b'\x06'


def sam_nak(programm=2):
    """A frame with a wrong check byte, NAK, the frame again without its STX."""
    block = sam_block(0, karten()[0])
    rahmen = bytearray(sam_rahmen(block))
    rahmen[-2] ^= 0x5a
    out = bytes([programm]) + b'\x03' + zufuehren(bytes(rahmen))
    out += zufuehren(sam_rahmen(block)[1:]) + b'\x03\x06'
    return out


def sam_stx_davor(programm=2):
    """A stray STX, then a strip, then the same strip again after a lost ACK."""
    block = sam_block(0, karten()[0])
    n = len(block)
    return (bytes([programm]) + zufuehren(STX)[:-1] + bytes([((n >> 8) << 3) | 4, n & 0xff]) + block
            + b'\x05\x03')


def sam_blank(programm=2):
    block = sam_block(0, karten()[0])
    return bytes([programm]) + b'\x03' + zufuehren(block) + b'\x03\x03\x03\x07\x06'


# ---- the other parsers ---------------------------------------------------------------------

INI = (b'[WERTMASCHINE]\r\nNAME=SAM\r\nCOMPORT=2\r\nSPEED=L\r\n\r\n[WERTUNG]\r\n'
       b'PUNKT-SCHEIBEN=3\r\nTEILER=10\r\nMONAT=-3\r\n\r\n[EXPORT]\r\nFILE=C:\\Export\\liste.txt\r\n'
       b'DELIMITER=;\r\n\r\n[DB1]\r\nDATEI=C:\\Wettk\\verein.mdb\r\nFARBE=&H01D7FF_Gold\r\n'
       b'; Kommentar\r\n[DB2]\r\nFARBE=\r\n')


def standwert_text(t):
    return bytes([1]) + t.encode() + b'\x1f'


def standzeile(id_wert, zeit, ring=b''):
    spalten = 24  # kZeilenSpalten and SportpassID
    werte = [standwert_text('x')] * spalten
    werte[0] = id_wert
    werte[4] = standwert_text('Schäfer')
    werte[5] = standwert_text('Jürgen')
    werte[19] = bytes([4]) + struct.pack('<d', 955.0)
    werte[21] = standwert_text('123.4')
    werte[22] = zeit
    werte[23] = standwert_text('4711')
    out = b''.join(werte) + b'\x05'
    serien = [(1, 95), (2, 97), (3, 93)]
    out += bytes([len(serien)])
    for nr, r in serien:
        out += bytes([3]) + struct.pack('<q', 17) + bytes([3]) + struct.pack('<q', nr)
        out += bytes([4]) + struct.pack('<d', float(r))
    return out + ring


def main():
    for kind, seeds in {
        'fuzz_rm3': {'karten': rm3(0), 'karten_lp': rm3(0x83)},
        'fuzz_rm3win': {'karten': rm3win(1), 'wiederholt': rm3win(4, True)},
        'fuzz_sam': {'karten': sam(2), 'ack_verloren': sam(2, True), 'stuecke': sam(5, roh=True),
                     'nak': sam_nak(), 'blank': sam_blank(), 'stx_davor': sam_stx_davor()},
    }.items():
        for name, daten in seeds.items():
            schreiben(kind, name, daten)

    schreiben('fuzz_ini', 'wettk', bytes([10]) + INI + b'"Wert mit; Zeichen"')
    schreiben('fuzz_ini', 'leer', bytes([0]))
    schreiben('fuzz_ini', 'unix', bytes([5]) + INI.replace(b'\r\n', b'\n') + b'Wert\n')

    teile = [open(os.path.join(DATEN, 'access-verein', 'tabellen.txt'), 'rb').read()]
    for t in teile[0].decode().split():
        for endung in ('schema', 'csv'):
            teile.append(open(os.path.join(DATEN, 'access-verein', t + '.' + endung), 'rb').read())
    schreiben('fuzz_mdbtools', 'verein', b'\x1e'.join(teile))
    schreiben('fuzz_mdbtools', 'mitglieder', b'\x1e'.join([b'Mitglieder\n'] + teile[1:3]))
    schreiben('fuzz_mdbtools', 'fremd', b'\x1e'.join([b'Kassenbuch\n', teile[1].replace(b'Mitglieder', b'Kassenbuch'), teile[2]]))
    schreiben('fuzz_mdbtools', 'gescheitert', b'!')

    zeit = standwert_text('2024-03-05 19:30:00')
    schreiben('fuzz_standzeile', 'zeile', standzeile(bytes([3]) + struct.pack('<q', 4711), zeit))
    schreiben('fuzz_standzeile', 'text_id', standzeile(standwert_text('4711'), zeit))
    schreiben('fuzz_standzeile', 'datum', standzeile(bytes([4]) + struct.pack('<d', 12.0),
                                                     bytes([5]) + struct.pack('<i', 2460375) + b'\x10'))

    for i, text in enumerate(['Müller', '12', '05.03.2024', "O'Brien", '*er*', '"x"', '#1/2/2020#',
                              '3,5', 'Datevalue(\'1.1.2020\')', '?', '[*]']):
        schreiben('fuzz_filter', 'suche%d' % i, bytes([i, i * 3, i * 7, i & 1]) + text.encode())

    kopf = b'Name\x1f\x00Best10\x1f\x06Datum\x1f\x01'
    zeilen = b'\x02M\xc3\xbcller, Hans\x1f\x0195.5\x1f\x022024-03-05\x1f'
    zeilen += b'\x02Anna "die Schnelle"\r\nGro\xc3\x9f\x1f\x00\x1f\x03\x1f'
    schreiben('fuzz_csv', 'komma', bytes([0, 2]) + kopf + zeilen)
    schreiben('fuzz_csv', 'semikolon', bytes([1, 2]) + kopf + zeilen)
    schreiben('fuzz_csv', 'eigener', bytes([0xf5]) + b';;\x1f' + bytes([2]) + kopf + zeilen)

    def senden(daten, verbindung=0):
        n = len(daten) - 1
        return bytes([((n >> 8) << 4) | verbindung, n & 0xff]) + daten
    get = b'GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n'
    live = (b'GET /live HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n'
            b'Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n')
    maske = b'\x01\x02\x03\x04'
    nutz = b'hallo'
    frame = b'\x81' + bytes([0x80 | len(nutz)]) + maske + bytes(c ^ maske[i % 4] for i, c in enumerate(nutz))
    schreiben('fuzz_webserver', 'get', senden(get))
    schreiben('fuzz_webserver', 'daten', senden(b'GET /daten/abend HTTP/1.1\r\nHost: x\r\n\r\n', 1)
              + senden(b'GET /gibtsnicht HTTP/1.1\r\nHost: x\r\n\r\n', 2))
    schreiben('fuzz_webserver', 'post', senden(b'POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc'))
    schreiben('fuzz_webserver', 'live', senden(live) + senden(frame) + bytes([0x0c]))
    schreiben('fuzz_webserver', 'flut', senden(get[:20]) + bytes([0x08, 0x10]) + b'X' * 17)
    schreiben('fuzz_webserver', 'drei', senden(live, 0) + senden(live, 1) + senden(get, 2))


if __name__ == '__main__':
    sys.exit(main())
