// The page: moves text between its controls and the module (ciphers.js). Every cipher, the
// dialogue and the breaker run in the module; nothing here knows a rule of theirs.
'use strict';

const largestFile = 64 * 1024 * 1024;
// A text box shows at most this many characters: a browser lays out a longer text for seconds.
const largestShown = 64 * 1024;
const methodNotes = {
  rot13: 'ROT13 moves each ASCII letter 13 places on in the alphabet, keeping its case, so the same step decrypts.',
  vigenere: 'The Vigenère cipher upper-cases the letters and shifts each one by the key letter due, the key running on over the letters only.',
  personal: 'The personal method turns each line into digits by a random walk up and down by each byte\'s value; the seed picks the walk.',
};

const $ = (id) => document.getElementById(id);

// Shows the text in the box, or its start where it is too long to show; says which.
function showText(box, text) {
  box.value = text.length > largestShown ? text.slice(0, largestShown) : text;
  return text.length > largestShown;
}

// Workbench jobs run in a Worker, made from the module's own source, so that a large input
// never holds up the page; where no Worker can be made, they run here.
function makeRunner(ciphers) {
  let worker = null;
  try {
    const source = `var _scriptDir; var createCiphers = ${createCiphers.toString()};
      const ready = createCiphers();
      onmessage = async (event) => {
        const c = await ready;
        const {id, job, method, decrypt, input, options} = event.data;
        try {
          const result = job === 'crack' ? c.crack(input)
            : (decrypt ? c.decrypt : c.encrypt)(method, input, options);
          postMessage({id, result});
        } catch (error) {
          postMessage({id, error: error.message});
        }
      };`;
    worker = new Worker(URL.createObjectURL(new Blob([source], {type: 'text/javascript'})));
    document.documentElement.dataset.worker = 'yes';
  } catch (error) {
    worker = null;
  }
  const pending = new Map();
  let nextId = 0;
  if (worker) {
    worker.onmessage = (event) => {
      const {id, result, error} = event.data;
      const job = pending.get(id);
      pending.delete(id);
      if (error === undefined) {
        job.resolve(result);
      } else {
        job.reject(new Error(error));
      }
    };
  }
  return (request) => {
    if (!worker) {
      return new Promise((resolve) => resolve(request.job === 'crack' ? ciphers.crack(request.input)
        : (request.decrypt ? ciphers.decrypt : ciphers.encrypt)(request.method, request.input, request.options)));
    }
    const id = nextId++;
    return new Promise((resolve, reject) => {
      pending.set(id, {resolve, reject});
      worker.postMessage({id, ...request});
    });
  };
}

function setUpWorkbench(ciphers) {
  const run = makeRunner(ciphers);
  let fileBytes = null;  // the bytes of the file opened, until the input is edited
  let outputBytes = new Uint8Array();
  let latest = 0;

  const inputBytes = () => fileBytes || new TextEncoder().encode($('input').value);
  const options = () => {
    const chosen = {};
    if ($('key').value !== '') {
      chosen.key = $('key').value;
    }
    if ($('seed').value !== '') {
      chosen.seed = $('seed').value;
    }
    return chosen;
  };
  const showNote = () => { $('method-note').textContent = methodNotes[$('method').value]; };

  async function update() {
    const job = ++latest;
    if (!fileBytes && $('input').value === '') {
      // Nothing to do yet, and so nothing to complain of: no input gives no output.
      outputBytes = new Uint8Array();
      $('output').value = '';
      $('output-note').textContent = '';
      $('error').textContent = '';
      return;
    }
    const request = {job: 'transform', method: $('method').value, decrypt: $('decrypt').checked,
      input: inputBytes(), options: options()};
    try {
      const result = await run(request);
      if (job === latest) {
        outputBytes = result;
        const cut = showText($('output'), new TextDecoder().decode(result));
        $('output-note').textContent = cut
          ? `The output is ${result.length} bytes: the box shows its start, and Download saves all of it.`
          : '';
        $('error').textContent = '';
      }
    } catch (error) {
      if (job === latest) {
        outputBytes = new Uint8Array();
        $('output').value = '';
        $('output-note').textContent = '';
        $('error').textContent = error.message;
      }
    }
  }

  async function crack() {
    const job = ++latest;
    try {
      const found = await run({job: 'crack', input: inputBytes()});
      if (job !== latest) {
        return;
      }
      $('method').value = 'vigenere';
      $('key').value = found.key;
      $('decrypt').checked = true;
      showNote();
      drawAnalysis($('analysis'), found.analysis, ciphers.englishLetters());
      $('error').textContent = found.analysis.warning || '';
      update();
    } catch (error) {
      if (job === latest) {
        $('error').textContent = error.message;
        $('analysis').replaceChildren();
      }
    }
  }

  $('input').addEventListener('input', () => { fileBytes = null; update(); });
  for (const id of ['method', 'decrypt', 'key', 'seed']) {
    $(id).addEventListener('input', update);
  }
  $('method').addEventListener('change', showNote);
  $('crack').addEventListener('click', crack);
  $('file').addEventListener('change', async () => {
    const file = $('file').files[0];
    if (!file) {
      return;
    }
    if (file.size > largestFile) {
      $('error').textContent = `${file.name} is larger than 64 MiB, the most this page takes: `
        + 'the ciphers program takes files of any size.';
      return;
    }
    fileBytes = new Uint8Array(await file.arrayBuffer());
    // A file too long to show whole is kept as it is: the box shows its start and cannot be edited.
    const cut = showText($('input'), new TextDecoder().decode(fileBytes));
    $('input').readOnly = cut;
    $('input-note').hidden = !cut;
    $('input-note').firstChild.textContent =
      `${file.name}: all its ${fileBytes.length} bytes are the input; the box shows their start.`;
    update();
  });
  $('type-instead').addEventListener('click', () => {
    fileBytes = null;
    $('file').value = '';
    $('input').value = '';
    $('input').readOnly = false;
    $('input-note').hidden = true;
    $('input').focus();
    update();
  });
  $('download').addEventListener('click', () => {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([outputBytes], {type: 'application/octet-stream'}));
    link.download = `${$('method').value}${$('decrypt').checked ? '-decrypted' : ''}.txt`;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  });
  showNote();
  update();
}

// The breaker's data, drawn as inline SVG: the fit of each period tried, the divisors of the
// repeats' distances, and each key letter's column against English at its shift. The numbers
// are the breaker's own (its JSON analysis) and English's letter probabilities the module's.
const svgSpace = 'http://www.w3.org/2000/svg';

function svgElement(name, attributes, text) {
  const node = document.createElementNS(svgSpace, name);
  Object.entries(attributes).forEach(([key, value]) => node.setAttribute(key, value));
  if (text !== undefined) {
    node.textContent = text;
  }
  return node;
}

// A bar for each value (null for none), the marked one in the accent colour, its label under it;
// `expected` adds a mark at each bar's expected height.
function barChart(title, labels, values, marked, expected) {
  const width = 640;
  const height = 120;
  const top = 20;
  const base = height - 16;
  const step = width / labels.length;
  const shown = values.filter((value) => value !== null);
  const lowest = Math.min(0, ...shown);
  const highest = Math.max(...shown, ...(expected || []), lowest + 1e-9);
  const scale = (value) => (value - lowest) / (highest - lowest) * (base - top);
  const svg = svgElement('svg', {viewBox: `0 0 ${width} ${height}`, role: 'img'});
  svg.append(svgElement('title', {}, title), svgElement('text', {x: 2, y: 13}, title));
  labels.forEach((label, i) => {
    const x = i * step;
    if (values[i] !== null) {
      const barHeight = Math.max(scale(values[i]), 1);
      svg.append(svgElement('rect', {class: i === marked ? 'bar chosen' : 'bar', x: x + 1,
        y: base - barHeight, width: Math.max(step - 2, 1), height: barHeight}));
    }
    if (expected) {
      const y = base - scale(expected[i]);
      svg.append(svgElement('line', {class: 'expected', x1: x + 1, x2: x + step - 1, y1: y, y2: y}));
    }
    if (labels.length <= 26 || i % 2 === 0 || i === marked) {
      svg.append(svgElement('text', {x: x + step / 2, y: height - 3, 'text-anchor': 'middle'}, label));
    }
  });
  return svg;
}

function drawAnalysis(figure, analysis, english) {
  const charts = [];
  if (analysis.periods) {
    const fits = analysis.periods.map((row) => (row.fit === null ? null : row.fit));
    const searched = fits.filter((fit) => fit !== null);
    const floor = Math.min(...searched);
    charts.push(barChart(`The fit of each period tried (higher is likelier English); period ${analysis.period} chosen`,
      analysis.periods.map((row) => row.period), fits.map((fit) => (fit === null ? null : fit - floor + 1)),
      analysis.periods.findIndex((row) => row.period === analysis.period)));
  }
  if (analysis.divisors) {
    charts.push(barChart('How many of the repeats\' distances each period divides',
      analysis.divisors.map((row) => row.period), analysis.divisors.map((row) => row.count),
      analysis.divisors.findIndex((row) => row.period === analysis.period)));
  }
  const alphabet = [...'ABCDEFGHIJKLMNOPQRSTUVWXYZ'];
  (analysis.columns || []).forEach((column, index) => {
    const letters = column.counts.reduce((sum, count) => sum + count, 0);
    const expected = alphabet.map((_, i) => letters * english[(i - column.shift + 26) % 26]);
    const runnerUp = column.runner_up
      ? `; next best ${column.runner_up.letter}, worse by ${column.runner_up.worse_by.toFixed(1)}` : '';
    charts.push(barChart(`Key letter ${index + 1}: ${column.letter} (shift ${column.shift})${runnerUp}; `
      + 'lines: English at that shift', alphabet, column.counts, -1, expected));
  });
  if (charts.length === 0) {
    charts.push(barChart(`The key found: ${analysis.key}, of ${analysis.period} letters`,
      [...analysis.key], [...analysis.key].map(() => 1), -1));
  }
  figure.replaceChildren(...charts);
}

// The dialogue pane: the console's menu loop in the module, shown as a terminal shows it.
function setUpDialogue(ciphers) {
  const screen = $('dialogue-screen');
  const field = $('dialogue-input');
  let session = null;

  function start() {
    const decoder = new TextDecoder();
    const own = {};
    session = own;
    screen.textContent = '';
    field.disabled = false;
    const show = (text) => {
      screen.append(text);
      screen.scrollTop = screen.scrollHeight;
    };
    own.dialogue = ciphers.runDialogue((bytes) => {
      if (session === own) {
        if (!performance.getEntriesByName('first-prompt').length) {
          performance.mark('first-prompt');  // how long the page takes to start, for its benchmark
        }
        show(decoder.decode(bytes, {stream: true}));
      }
    });
    own.show = show;
    own.finished = own.dialogue.finished.then(() => {
      if (session === own) {
        field.disabled = true;
      }
    });
  }

  field.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' || field.disabled) {
      return;
    }
    event.preventDefault();
    const line = field.value;
    field.value = '';
    session.show(line + '\n');
    session.dialogue.enter(line);
  });
  $('dialogue-restart').addEventListener('click', async () => {
    const old = session;
    session = null;
    old.dialogue.enter(null);  // ends the old session's input, and with it the session
    await old.finished;
    start();
    field.focus();
  });
  start();
}

// Served over http(s), the site installs and works offline; from a file it needs neither.
function offerOffline() {
  if (!location.protocol.startsWith('http') || !('serviceWorker' in navigator)) {
    return;
  }
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'manifest.webmanifest';
  document.head.append(manifest);
  navigator.serviceWorker.register('sw.js').catch(() => {});
}

createCiphers().then((ciphers) => {
  setUpDialogue(ciphers);
  setUpWorkbench(ciphers);
});
offerOffline();
