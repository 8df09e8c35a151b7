// The standings, kept up to date by the program over a WebSocket. Everything shown is set
// as text, never as markup.
'use strict';

const art = document.body.dataset.art;
const tbody = document.querySelector('#liste tbody');
const leer = document.getElementById('leer');
const status = document.getElementById('verbindung');

function zahl(v) {
  if (v === null || v === undefined) return '';
  return typeof v === 'number' && !Number.isInteger(v) ? v.toFixed(1).replace('.', ',') : String(v);
}

function zelle(tr, text, klasse) {
  const td = document.createElement('td');
  td.className = klasse;
  td.textContent = text;
  tr.appendChild(td);
}

function zeichnen(d) {
  if (!d || d.art !== art || !Array.isArray(d.zeilen)) return;
  if (art === 'abend') document.getElementById('datum').textContent = d.datum || '';
  else document.getElementById('saison').textContent = d.saison || '';
  const neu = document.createDocumentFragment();
  for (const z of d.zeilen) {
    const tr = document.createElement('tr');
    if (z.neu) tr.className = 'neu';
    zelle(tr, z.platz + '.', 'platz');
    zelle(tr, z.name, 'name');
    tr.lastChild.title = z.name;
    if (art === 'abend') {
      for (let i = 0; i < 6; i++) zelle(tr, zahl((z.serien || [])[i]), 'serie');
      zelle(tr, zahl(z.gesamt), 'zahl');
      zelle(tr, zahl(z.best10), 'zahl');
      zelle(tr, zahl(z.teiler), 'zahl');
      zelle(tr, zahl(z.punkte), 'zahl');
    } else {
      zelle(tr, zahl(z.punkte), 'zahl');
      zelle(tr, zahl(z.best10), 'zahl');
      zelle(tr, zahl(z.best20), 'zahl');
      zelle(tr, zahl(z.gesamt), 'zahl');
      zelle(tr, zahl(z.teiler), 'zahl');
      zelle(tr, z.anwesend + ' / ' + z.geschossen, 'zahl');
    }
    neu.appendChild(tr);
  }
  tbody.replaceChildren(neu);
  leer.hidden = d.zeilen.length > 0;
}

// What the page missed while it was not connected.
function nachholen() {
  fetch('/daten/' + art, { cache: 'no-store' })
    .then((r) => (r.ok ? r.json() : null))
    .then(zeichnen)
    .catch(() => {});
}

function verbinden() {
  const ws = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/live');
  ws.onopen = () => {
    status.className = 'da';
    nachholen();
  };
  ws.onmessage = (e) => {
    try {
      zeichnen(JSON.parse(e.data));
    } catch (_) {
      // a message this page does not understand is left out
    }
  };
  ws.onclose = () => {
    status.className = 'weg';
    setTimeout(verbinden, 1000);
  };
}

nachholen();
verbinden();
