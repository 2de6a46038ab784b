"use strict";
// The replay of Lumaro ghost runs. Everything it shows comes from the data block written by lumaro-ghost:
// each run's points (compact text, see readReplayPoints), and along the laps (distance on the reference lap, lap
// after lap) a trace of A's time, every run's difference to A and speed, with lap and sector rows, the
// theoretical best and the palette the picture colours pace with. A click or a drag on the map or on a
// trace seeks there; the map zooms (wheel, + and -) and pans (shift+drag, alt+arrows), 0 or its button
// resets it. The clock is
// race time in seconds: from where each run crosses A's start line (its run time less its start), so the
// cars set off together and the gap between them is the difference shown; the cursor stands where A is at
// that time. Texts from files are only ever set as text, never as markup.
// startReplay plays a data block's runs in the replay's markup: the replay page starts it on its own block at
// once, the board's page in its dialog on a pair of runs (stopping it when the dialog closes). The points'
// reading and the texts of times are shared with the board's page.

const replayMinus = "\u2212";

// --- The runs' points -------------------------------------------------------------------------------
// Three numbers a frame, each the change from the frame before: milliseconds, tenths of a unit in x and
// in y. A number is zigzagged and written five bits a character, lowest first; the last 32 characters of
// the alphabet say that more follow. Arithmetic, not bit operations: values may pass 32 bits.
const replayAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
const replayDigitOf = new Int8Array(128).fill(-1);
for (let i = 0; i < replayAlphabet.length; i++) replayDigitOf[replayAlphabet.charCodeAt(i)] = i;

// A run of a data block as the player reads it: its points go into t, x and y as they are read.
function replayRun(run, index) {
  const made = Object.assign({ index, read: 0, drawn: 0, reader: { at: 0, time: 0, px: 0, py: 0 } }, run);
  made.t = new Float64Array(run.frames);
  made.x = new Float64Array(run.frames);
  made.y = new Float64Array(run.frames);
  return made;
}

// The number at reader.at of a text in the point code, reader.at moved past it. Arithmetic, not bit
// operations: values may pass 32 bits.
function readReplayNumber(text, reader) {
  let digit = replayDigitOf[text.charCodeAt(reader.at++)];
  let value = digit > 0 ? digit : 0;
  if (digit >= 32) {
    let scale = 32;
    value -= 32;
    digit = replayDigitOf[text.charCodeAt(reader.at++)];
    while (digit >= 32) {
      value += (digit - 32) * scale;
      scale *= 32;
      digit = replayDigitOf[text.charCodeAt(reader.at++)];
    }
    value += (digit > 0 ? digit : 0) * scale;
  }
  return value % 2 === 1 ? -(value + 1) / 2 : value / 2;
}

// Every number of a text in the point code, in order.
function readReplayNumbers(text) {
  const reader = { at: 0 };
  const values = [];
  while (reader.at < text.length) values.push(readReplayNumber(text, reader));
  return values;
}

// A run's points are read in slices, in order: the first before the page plays, the rest a slice a task
// while it plays (and at once as far as a jump ahead needs), so that long runs start playing at once. units:
// the data block, which says what a point's numbers count.
const replaySlice = 200000;
function readReplayPoints(run, upTo, units) {
  const end = Math.min(run.frames, upTo);
  const text = run.points;
  const reader = run.reader;
  for (let frame = run.read; frame < end; frame++) {
    reader.time += readReplayNumber(text, reader);
    reader.px += readReplayNumber(text, reader);
    reader.py += readReplayNumber(text, reader);
    run.t[frame] = reader.time / units.pointTimesPerSecond;
    run.x[frame] = reader.px / units.pointPlacesPerUnit;
    run.y[frame] = reader.py / units.pointPlacesPerUnit;
  }
  run.read = Math.max(run.read, end);
}

// --- Text ---------------------------------------------------------------------------------------------
// Race time text as the tool's one formatter lays it out (data.clock is its text of no time): its groups
// of digits, each counting the milliseconds data.clockGroups gives (the first all of them, each other what
// is left of the one before), each at least as wide, between its separators. A difference as the tool signs
// it, level under data.level.
function replayTexts(data) {
  const clockParts = data.clock.split(/([0-9]+)/);
  function raceTime(seconds) {
    const ms = Math.max(0, Math.floor(seconds * 1000 + 1e-6));
    const values = data.clockGroups.map((unit, i) =>
      Math.floor((i ? ms % data.clockGroups[i - 1] : ms) / unit));
    let group = 0;
    return clockParts.map((part, i) => (i % 2 ? String(values[group++]).padStart(part.length, "0") : part)).join("");
  }
  function signed(seconds) {
    if (Math.abs(seconds) < data.level) return data.levelText;
    return (seconds < 0 ? replayMinus : data.plus) + Math.abs(seconds).toFixed(data.signedDecimals) + data.secondsUnit;
  }
  return { raceTime, signed };
}

// Plays data's runs in the replay's markup (its elements found by their ids), its keys heard wherever the focus
// is. A block may say which line its runs are timed at (startLine: A's by default) and what its theoretical best
// is made of (best.title). Gives back stop(), which ends its playing and its listeners.
function startReplay(data) {
  const byId = (id) => document.getElementById(id);
  // The runs' colours, none of them a colour of the pace palette (blue faster, orange slower).
  const colours = data.runColours;
  const colourOf = (run) => colours[run % colours.length];
  const speeds = [0.25, 0.5, 1, 2, 4, 8];
  const minus = replayMinus;
  let stopped = false;

  const slice = replaySlice;
  const readPoints = (run, upTo) => readReplayPoints(run, upTo, data);
  // Every point up to the first one past a run time.
  function readUntil(run, time) {
    while (run.read < run.frames && (run.read === 0 || run.t[run.read - 1] <= time)) readPoints(run, run.read + slice);
  }

  const runs = data.runs.map((run, index) => {
    const made = replayRun(run, index);
    readPoints(made, slice);
    return made;
  });
  // The latest race time of any run (a shared file's times may go back: the largest, not the last).
  const duration = runs.reduce((longest, run) => Math.max(longest, run.extent.latest - run.start), 0);

  // The last index whose value is at most v, in values sorted upwards (-1 when none is).
  function lastAtMost(values, v, count = values.length) {
    let low = 0;
    let high = count - 1;
    let found = -1;
    while (low <= high) {
      const middle = (low + high) >> 1;
      if (values[middle] <= v) {
        found = middle;
        low = middle + 1;
      } else {
        high = middle - 1;
      }
    }
    return found;
  }

  // Where a run is at a race time: between the frames on either side of it.
  function positionAt(run, raceTime) {
    const time = raceTime + run.start;
    readUntil(run, time);
    const n = run.read;
    const i = lastAtMost(run.t, time, n);
    if (i < 0) return { x: run.x[0], y: run.y[0] };
    if (i >= n - 1) return { x: run.x[n - 1], y: run.y[n - 1] };
    const span = run.t[i + 1] - run.t[i];
    const share = span > 0 ? (time - run.t[i]) / span : 0;
    return { x: run.x[i] + share * (run.x[i + 1] - run.x[i]), y: run.y[i] + share * (run.y[i + 1] - run.y[i]) };
  }

  // --- Along A's path ---------------------------------------------------------------------------------
  const trace = data.trace;
  const distance = trace.distance;
  const clean = (values) => values.map((v) => (v === null ? 0 : v));
  const secondsA = clean(trace.secondsA);
  const deltas = trace.delta.map(clean);
  const speedsAlong = trace.speed.map(clean);
  // Each run's time at every sample: A's time and its difference.
  const timesAlong = deltas.map((delta) => delta.map((d, k) => secondsA[k] + d));
  const firstDistance = distance.length ? distance[0] : 0;
  const lastDistance = distance.length ? distance[distance.length - 1] : 1;

  // A value of the trace at a distance along A's path, between the samples on either side.
  function along(values, at) {
    const k = lastAtMost(distance, at);
    if (k < 0) return values[0];
    if (k >= distance.length - 1) return values[distance.length - 1];
    const span = distance[k + 1] - distance[k];
    const share = span > 0 ? (at - distance[k]) / span : 0;
    return values[k] + share * (values[k + 1] - values[k]);
  }

  // Where along A's path a run is at a time: the matched point its time reaches.
  function distanceOf(run, time) {
    const times = timesAlong[run];
    const k = lastAtMost(times, time);
    if (k < 0) return firstDistance;
    if (k >= times.length - 1) return lastDistance;
    const span = times[k + 1] - times[k];
    const share = span > 0 ? (time - times[k]) / span : 0;
    return distance[k] + share * (distance[k + 1] - distance[k]);
  }

  const timeOfDistance = (at) => along(secondsA, at);

  // --- Text ---------------------------------------------------------------------------------------------
  const { raceTime, signed } = replayTexts(data);
  const plain = (seconds) => seconds.toFixed(3);
  function element(tag, text, className) {
    const made = document.createElement(tag);
    if (text !== undefined) made.textContent = text;
    if (className) made.className = className;
    return made;
  }

  // --- The page's fixed parts ---------------------------------------------------------------------------
  byId("title").textContent = data.title;
  for (const run of runs) {
    const item = element("li");
    const swatch = element("span", run.name, "swatch");
    swatch.style.background = colourOf(run.index);
    item.append(swatch, element("b", run.file));
    const laps = run.laps + (run.laps === "1" ? " lap" : " laps");
    // Each text from a file is isolated: a direction mark in it (a right-to-left override, say) turns that
    // text around and nothing after it.
    const isolated = (text) => element("bdi", text);
    const dot = " \u00B7 ";
    item.append("  ", isolated(run.player), dot, isolated(run.map), dot, isolated(laps), dot, isolated(run.runTime));
    if (!run.lapLinesFound) item.append(element("span", " (laps as equal shares: no lap line found)", "note"));
    item.dataset.run = run.letter;
    byId("runs").append(item);
  }
  for (const note of data.notes) byId("runs").append(element("li", note, "note"));
  byId("matching").textContent =
    (data.sectorsPerLap === 10 ? "Sectors are tenths of the lap" : "A lap is cut into " + data.sectorsPerLap +
      (data.sectorsPerLap === 1 ? " sector" : " equal sectors")) +
    "; runs are matched by track position, each timed from where it crosses " + (data.startLine || "A's start line") + ".";
  const others = runs.slice(1);
  if (!others.length) byId("delta-box").hidden = true;

  const lapStarts = data.laps.map((lap) => lap.start).concat(data.laps.length ? [lastDistance] : []);
  const sectorStarts = data.sectors.map((sector) => sector.start).concat(data.sectors.length ? [lastDistance] : []);

  // The lap and sector table: one row a lap, the runs' lap times, each run's difference to A, and what the
  // sectors gained or lost (with one run, its sector times).
  const table = byId("table");
  const sectorCells = [];
  const lapRows = [];
  {
    const head = element("tr");
    head.append(element("th", "Lap"));
    for (const run of runs) head.append(element("th", run.name));
    for (const run of others) head.append(element("th", run.name + " " + minus + " " + runs[0].name));
    for (let s = 1; s <= data.sectorsPerLap; s++) head.append(element("th", "S" + s));
    const thead = element("thead");
    thead.append(head);
    table.append(thead);
    const body = element("tbody");
    for (const lap of data.laps) {
      const row = element("tr");
      row.append(element("td", lap.label || String(lap.lap)));
      for (const run of runs) row.append(element("td", plain(lap.seconds[run.index])));
      for (const run of others) {
        const d = lap.seconds[run.index] - lap.seconds[0];
        row.append(element("td", signed(d), d < -data.level ? "gain" : d > data.level ? "loss" : ""));
      }
      lapRows.push(row);
      body.append(row);
    }
    data.sectors.forEach((sector, index) => {
      // Each run's time over the sector, and after it each other run's gain or loss there against A.
      // A line breaks, when the table must narrow, only between a run's time and its gain or loss.
      const unbroken = (text) => text.replace(/ /g, "\u00A0");
      const lines = others.length
        ? runs.map((run) => unbroken(run.name + " " + plain(sector.seconds[run.index])) +
            (run.index > 0 ? " " + unbroken(signed(sector.delta[run.index])) : ""))
        : [plain(sector.seconds[0])];
      const d = others.length === 1 ? sector.delta[1] : 0;
      const cell = element("td", lines.join("\n"), d < -data.level ? "gain" : d > data.level ? "loss" : "");
      // A cell keeps its lines and wraps within them where the table would not fit the page otherwise.
      cell.classList.add("sector");
      cell.title = "Lap " + sector.lap + ", " + Math.round(sector.from * 100) + "% to " + Math.round(sector.to * 100) + "%";
      lapRows[Math.min(lapRows.length - 1, Math.floor(index / data.sectorsPerLap))].append(cell);
      sectorCells.push(cell);
    });
    // The theoretical best: the best time of each sector over every lap of every run, and their sum.
    if (data.best) {
      const row = element("tr", undefined, "best");
      row.append(element("td", "T"));
      const lap = element("td", "theoretical best " + plain(data.best.lap));
      lap.colSpan = runs.length + others.length;
      row.append(lap);
      for (const best of data.best.sectors) row.append(element("td", plain(best)));
      row.title = data.best.title || "The best time of each sector over every lap of every run, and their sum";
      body.append(row);
    }
    table.append(body);
  }

  // --- Drawing ------------------------------------------------------------------------------------------
  const mapBox = byId("map-box");
  const mapCanvas = byId("map");
  const highlightCanvas = byId("map-highlight");
  const markers = runs.map((run) => {
    const marker = element("div", run.name, "marker");
    marker.style.background = colourOf(run.index);
    marker.dataset.run = run.letter;
    byId("markers").append(marker);
    return marker;
  });
  let view = { minX: 0, minY: 0, scale: 1, left: 0, top: 0 };
  // The map's zoom over the view that fits every run: its factor and the point of the map at the canvas's
  // centre; null for the whole map.
  let zoom = null;
  let fitScale = 1;
  let mapSize = { width: 1, height: 1 };

  function sizeCanvas(canvas) {
    const box = canvas.getBoundingClientRect();
    const ratio = window.devicePixelRatio || 1;
    canvas.width = Math.max(1, Math.round(box.width * ratio));
    canvas.height = Math.max(1, Math.round(box.height * ratio));
    const context = canvas.getContext("2d");
    context.setTransform(ratio, 0, 0, ratio, 0, 0);
    return { context, width: box.width, height: box.height };
  }

  // One scale for every run, x to the right and y downward, as lumaro-ghost plot draws them.
  function fitView(width, height) {
    const minX = Math.min(...runs.map((run) => run.extent.box[0]));
    const minY = Math.min(...runs.map((run) => run.extent.box[1]));
    const maxX = Math.max(...runs.map((run) => run.extent.box[2]));
    const maxY = Math.max(...runs.map((run) => run.extent.box[3]));
    const pad = 24;
    const spanX = Math.max(maxX - minX, 1e-9);
    const spanY = Math.max(maxY - minY, 1e-9);
    fitScale = Math.min((width - 2 * pad) / spanX, (height - 2 * pad) / spanY);
    view = { minX, minY, scale: fitScale, left: (width - spanX * fitScale) / 2, top: (height - spanY * fitScale) / 2 };
    if (zoom) {
      view.scale = fitScale * zoom.factor;
      view.left = width / 2 - (zoom.cx - minX) * view.scale;
      view.top = height / 2 - (zoom.cy - minY) * view.scale;
    }
    mapBox.dataset.view = [view.minX, view.minY, view.scale, view.left, view.top].join(" ");
  }
  const px = (x) => view.left + (x - view.minX) * view.scale;
  const py = (y) => view.top + (y - view.minY) * view.scale;

  // A stretch of a run as a line, leaving out points closer than a pixel to the last one drawn.
  function strokeRun(context, run, from, to) {
    context.beginPath();
    let lastX = px(run.x[from]);
    let lastY = py(run.y[from]);
    context.moveTo(lastX, lastY);
    for (let i = from + 1; i <= to; i++) {
      const x = px(run.x[i]);
      const y = py(run.y[i]);
      if (i < to && Math.abs(x - lastX) < 0.8 && Math.abs(y - lastY) < 0.8) continue;
      context.lineTo(x, y);
      lastX = x;
      lastY = y;
    }
    context.stroke();
  }

  let mapContext = null;
  let marksDrawn = false;
  function drawMap() {
    const { context, width, height } = sizeCanvas(mapCanvas);
    sizeCanvas(highlightCanvas);
    mapSize = { width, height };
    fitView(width, height);
    mapContext = context;
    for (const run of runs) run.drawn = 0;
    marksDrawn = false;
    drawReadPoints();
    shownSector = -2;
  }

  // The lines of what has been read and not drawn yet; once every point is read, the sector marks on top.
  function drawReadPoints() {
    const context = mapContext;
    context.lineJoin = "round";
    context.globalAlpha = 0.8;
    context.lineWidth = 2;
    for (let r = runs.length - 1; r >= 0; r--) {
      const run = runs[r];
      if (run.read - 1 <= run.drawn) continue;
      context.strokeStyle = colourOf(r);
      strokeRun(context, run, run.drawn, run.read - 1);
      run.drawn = run.read - 1;
    }
    context.globalAlpha = 1;
    if (marksDrawn || runs.some((run) => run.read < run.frames)) return;
    marksDrawn = true;
    if (pacer) drawPace(context);
    // Where A's sectors of its first lap start, numbered; the lap line in black.
    context.font = "600 10px system-ui, sans-serif";
    context.textAlign = "center";
    context.textBaseline = "middle";
    data.sectors.slice(0, data.sectorsPerLap).forEach((sector, s) => {
      const at = positionAt(runs[0], timeOfDistance(sector.start));
      context.fillStyle = s === 0 ? "#1d2430" : "#fff";
      context.strokeStyle = "#1d2430";
      context.lineWidth = 1;
      context.beginPath();
      context.arc(px(at.x), py(at.y), s === 0 ? 5 : 7, 0, 2 * Math.PI);
      context.fill();
      context.stroke();
      if (s > 0) {
        context.fillStyle = "#1d2430";
        context.fillText(String(s + 1), px(at.x), py(at.y) + 0.5);
      }
    });
  }

  // A's line coloured by how another run (B unless the reader chooses another) paces against A there, in the
  // picture's palette and steps: between two samples of the trace, the share of time it takes more (or less)
  // than A.
  let pacer = others.length ? others[0] : null;
  function paceStep(pace) {
    const limits = data.pace.limits;
    let step = 0;
    while (step < limits.length && (step < 3 ? pace > limits[step] : pace >= limits[step])) step++;
    return step;
  }
  function drawPace(context) {
    const run = runs[0];
    const delta = deltas[pacer.index];
    const pieces = [];
    for (let k = 0; k + 1 < distance.length; k++) {
      const span = secondsA[k + 1] - secondsA[k];
      if (!(span > 0)) continue;
      const from = Math.max(0, lastAtMost(run.t, secondsA[k] + run.start, run.read));
      const to = Math.min(run.read - 1, lastAtMost(run.t, secondsA[k + 1] + run.start, run.read) + 1);
      if (to > from) pieces.push({ step: paceStep((delta[k + 1] - delta[k]) / span), from, to });
    }
    // Level first and the strongest last, so that a mistake in one lap is never hidden under a clean lap.
    pieces.sort((a, b) => Math.abs(a.step - 3) - Math.abs(b.step - 3));
    context.lineWidth = 4;
    context.lineCap = "round";
    for (const piece of pieces) {
      context.strokeStyle = data.pace.colours[piece.step];
      strokeRun(context, run, piece.from, piece.to);
    }
    context.lineCap = "butt";
    mapBox.dataset.coloured = pacer.letter;
  }
  if (pacer) {
    const legend = byId("map-legend");
    legend.append(runs[0].name + "'s line coloured by ");
    if (others.length > 1) {
      // With three runs or more, the reader picks whose pace colours it.
      const chooser = element("select");
      chooser.id = "pace-run";
      chooser.title = "The run whose pace against A colours A's line";
      for (const run of others) chooser.append(new Option(run.name, String(run.index)));
      chooser.addEventListener("change", () => {
        pacer = others.find((run) => String(run.index) === chooser.value);
        redrawMap();
      });
      legend.append(chooser);
    } else {
      legend.append(pacer.name);
    }
    legend.append("'s pace against " + runs[0].name + " there: blue faster, grey level, orange slower");
  }

  function readInBackground() {
    if (stopped) return;
    const run = runs.find((r) => r.read < r.frames);
    if (run) readPoints(run, run.read + slice);
    drawReadPoints();
    if (run) setTimeout(readInBackground, 0);
  }

  // The current sector of A's run, underlined on the map.
  function drawHighlight(sector) {
    const context = highlightCanvas.getContext("2d");
    context.clearRect(0, 0, highlightCanvas.width, highlightCanvas.height);
    if (sector < 0 || sector >= data.sectors.length) return;
    const run = runs[0];
    const end = timeOfDistance(data.sectors[sector].end) + run.start;
    readUntil(run, end);
    const from = Math.max(0, lastAtMost(run.t, timeOfDistance(data.sectors[sector].start) + run.start, run.read));
    const to = Math.min(run.read - 1, lastAtMost(run.t, end, run.read) + 1);
    context.strokeStyle = "#ffd43b";
    context.lineWidth = 10;
    context.lineCap = "round";
    context.lineJoin = "round";
    if (to > from) strokeRun(context, run, from, to);
  }

  // A trace: distance along A's path across, the values of each run up.
  function makeTrace(canvasId, series, zeroLine, unit) {
    const canvas = byId(canvasId);
    const plot = canvas.parentElement;
    const cursor = plot.querySelector(".cursor");
    const dots = series.map(({ run }) => {
      const dot = element("div", undefined, "dot");
      dot.style.background = colourOf(run);
      plot.append(dot);
      return dot;
    });
    const frame = { left: 48, right: 8, top: 6, bottom: 18 };
    let scale = null;
    let plotWidth = 1;
    function draw() {
      const { context, width, height } = sizeCanvas(canvas);
      let low = zeroLine ? 0 : Infinity;
      let high = zeroLine ? 0 : -Infinity;
      for (const { values } of series) {
        for (const v of values) {
          low = Math.min(low, v);
          high = Math.max(high, v);
        }
      }
      if (!zeroLine) low = Math.min(0, low);
      if (!(high > low)) high = low + 1;
      const margin = (high - low) * 0.08;
      low -= zeroLine ? margin : 0;
      high += margin;
      plotWidth = width;
      const x = (d) => frame.left + ((d - firstDistance) / Math.max(lastDistance - firstDistance, 1e-9)) * (width - frame.left - frame.right);
      const y = (v) => frame.top + ((high - v) / (high - low)) * (height - frame.top - frame.bottom);
      scale = { x, y };
      context.font = "10px system-ui, sans-serif";
      context.fillStyle = "#6b7383";
      // Sector lines faint, lap lines darker, with the lap's number.
      data.sectors.forEach((sector, s) => {
        const lapStart = s % data.sectorsPerLap === 0;
        context.strokeStyle = lapStart ? "#9aa3b2" : "#eceef2";
        context.beginPath();
        context.moveTo(x(sector.start), frame.top);
        context.lineTo(x(sector.start), height - frame.bottom);
        context.stroke();
        if (lapStart) context.fillText("lap " + sector.lap, x(sector.start) + 3, height - 5);
      });
      // Round steps up the side.
      const raw = (high - low) / 4;
      const magnitude = Math.pow(10, Math.floor(Math.log10(raw)));
      const step = [1, 2, 5, 10].map((m) => m * magnitude).find((s) => s >= raw * 0.75) || raw;
      context.textAlign = "right";
      context.textBaseline = "middle";
      for (let v = Math.ceil(low / step) * step; v <= high; v += step) {
        context.strokeStyle = Math.abs(v) < step / 1e6 ? "#4a5363" : "#eceef2";
        context.beginPath();
        context.moveTo(frame.left, y(v));
        context.lineTo(width - frame.right, y(v));
        context.stroke();
        const label = Math.abs(v) < step / 1e6 ? "0" : (v < 0 ? minus : zeroLine ? "+" : "") + String(+Math.abs(v).toPrecision(6));
        context.fillText(label + unit, frame.left - 4, y(v));
      }
      context.textAlign = "left";
      context.textBaseline = "alphabetic";
      context.lineWidth = 1.5;
      for (const { run, values } of series) {
        context.strokeStyle = colourOf(run);
        context.beginPath();
        values.forEach((v, k) => (k === 0 ? context.moveTo(x(distance[k]), y(v)) : context.lineTo(x(distance[k]), y(v))));
        context.stroke();
      }
      context.lineWidth = 1;
    }
    function place(cursorDistance, points) {
      if (!scale) return;
      cursor.style.transform = "translateX(" + scale.x(cursorDistance).toFixed(1) + "px)";
      points.forEach(({ at, value }, i) => {
        dots[i].style.transform = "translate(" + (scale.x(at) - 4).toFixed(1) + "px," + (scale.y(value) - 4).toFixed(1) + "px)";
      });
    }
    // The distance along the laps at a point of the page, for a click or drag on the trace.
    function distanceAt(clientX) {
      const share = (clientX - canvas.getBoundingClientRect().left - frame.left) / Math.max(plotWidth - frame.left - frame.right, 1);
      return firstDistance + Math.min(1, Math.max(0, share)) * (lastDistance - firstDistance);
    }
    let dragging = false;
    plot.addEventListener("pointerdown", (event) => {
      dragging = true;
      plot.setPointerCapture(event.pointerId);
      seek(timeOfDistance(distanceAt(event.clientX)));
    });
    plot.addEventListener("pointermove", (event) => {
      if (dragging) seek(timeOfDistance(distanceAt(event.clientX)));
    });
    plot.addEventListener("pointerup", () => (dragging = false));
    return { draw, place };
  }

  const deltaTrace = makeTrace("delta", others.map((run) => ({ run: run.index, values: deltas[run.index] })), true, " s");
  const speedTrace = makeTrace("speed-trace", runs.map((run) => ({ run: run.index, values: speedsAlong[run.index] })), false, "");
  byId("delta-title").textContent = others.length ? "Ghost delta against " + runs[0].name + " (" + others.map((r) => r.name).join(", ") + " less " + runs[0].name + " at the same place; below zero ahead)" : "";

  // --- Playing ------------------------------------------------------------------------------------------
  let time = 0;
  let playing = true;
  let speed = 1;
  let shownSector = -2;
  const scrub = byId("scrub");
  scrub.max = String(duration);
  const playButton = byId("play");

  function currentSector(at) {
    if (!data.sectors.length || at >= lastDistance) return data.sectors.length;
    return Math.max(0, lastAtMost(sectorStarts.slice(0, -1), at));
  }

  function update() {
    for (const run of runs) {
      const at = positionAt(run, time);
      markers[run.index].style.transform = "translate(" + (px(at.x) - 9).toFixed(2) + "px," + (py(at.y) - 9).toFixed(2) + "px)";
    }
    const here = distanceOf(0, time);
    const deltaReadout = byId("delta-readout");
    deltaReadout.replaceChildren();
    const deltaPoints = others.map((run) => {
      const value = along(deltas[run.index], here);
      const item = element("span");
      const name = element("b", run.name + " ");
      name.style.color = colourOf(run.index);
      item.append(name, signed(value));
      item.dataset.run = run.letter;
      deltaReadout.append(item);
      return { at: here, value };
    });
    deltaTrace.place(here, deltaPoints);
    const speedReadout = byId("speed-readout");
    speedReadout.replaceChildren();
    const speedPoints = runs.map((run) => {
      const at = distanceOf(run.index, time);
      const value = along(speedsAlong[run.index], at);
      const item = element("span");
      const name = element("b", run.name + " ");
      name.style.color = colourOf(run.index);
      item.append(name, Math.round(value) + " units/s");
      speedReadout.append(item);
      return { at, value };
    });
    speedTrace.place(here, speedPoints);

    scrub.value = String(time);
    byId("clock").textContent = raceTime(time);
    const sector = currentSector(here);
    if (sector !== shownSector) {
      if (shownSector >= 0 && shownSector < sectorCells.length) sectorCells[shownSector].classList.remove("now");
      lapRows.forEach((row) => row.classList.remove("current"));
      if (sector < sectorCells.length) {
        sectorCells[sector].classList.add("now");
        lapRows[Math.floor(sector / data.sectorsPerLap)].classList.add("current");
        const row = data.sectors[sector];
        byId("where").textContent = "Lap " + row.lap + " \u00B7 sector " + ((sector % data.sectorsPerLap) + 1);
      } else {
        byId("where").textContent = data.sectors.length ? "Finished" : "";
      }
      drawHighlight(sector);
      shownSector = sector;
    }
    playButton.textContent = playing ? "Pause" : "Play";
  }

  function seek(to) {
    time = Math.min(Math.max(to, 0), duration);
    update();
  }
  // To the start of the next or previous sector or lap of A's run (the finish counting as one).
  function step(starts, direction) {
    const times = starts.map(timeOfDistance);
    const target = direction > 0 ? times.find((t) => t > time + 1e-9) : times.filter((t) => t < time - 1e-9).pop();
    seek(target === undefined ? (direction > 0 ? duration : 0) : target);
  }
  function togglePlay() {
    if (!playing && time >= duration) time = 0;
    playing = !playing;
    update();
  }
  function changeSpeed(direction) {
    const index = Math.min(speeds.length - 1, Math.max(0, speeds.indexOf(speed) + direction));
    speed = speeds[index];
    byId("speed").value = String(speed);
  }

  playButton.addEventListener("click", togglePlay);
  byId("prev-sector").addEventListener("click", () => step(sectorStarts, -1));
  byId("next-sector").addEventListener("click", () => step(sectorStarts, 1));
  byId("prev-lap").addEventListener("click", () => step(lapStarts, -1));
  byId("next-lap").addEventListener("click", () => step(lapStarts, 1));
  byId("speed").addEventListener("change", (event) => {
    speed = Number(event.target.value);
  });
  scrub.addEventListener("input", () => seek(Number(scrub.value)));
  // Keys act on the replay wherever the focus is; a button that has the focus must not act on space too.
  const onKey = (event) => {
    const pans = { ArrowLeft: [60, 0], ArrowRight: [-60, 0], ArrowUp: [0, 60], ArrowDown: [0, -60] };
    if (event.altKey && !event.ctrlKey && !event.metaKey && pans[event.key]) {
      event.preventDefault();
      panBy(...pans[event.key]);
      return;
    }
    if (event.altKey || event.ctrlKey || event.metaKey) return;
    const actions = {
      " ": togglePlay,
      ArrowLeft: () => step(event.shiftKey ? lapStarts : sectorStarts, -1),
      ArrowRight: () => step(event.shiftKey ? lapStarts : sectorStarts, 1),
      ArrowUp: () => changeSpeed(1),
      ArrowDown: () => changeSpeed(-1),
      Home: () => seek(0),
      End: () => seek(duration),
      "+": () => zoomAt(1.25, mapSize.width / 2, mapSize.height / 2),
      "=": () => zoomAt(1.25, mapSize.width / 2, mapSize.height / 2),
      "-": () => zoomAt(0.8, mapSize.width / 2, mapSize.height / 2),
      0: resetView,
    };
    const action = actions[event.key];
    if (!action) return;
    event.preventDefault();
    action();
  };
  const onKeyUp = (event) => {
    if (event.key === " ") event.preventDefault();
  };
  window.addEventListener("keydown", onKey, true);
  window.addEventListener("keyup", onKeyUp, true);

  // --- The map under the pointer ---------------------------------------------------------------------
  function redrawMap() {
    drawMap();
    update();
  }
  // Zooms by a factor (the whole map at the least, 200 times at the most), keeping the map's point under a
  // point of the canvas where it is.
  function zoomAt(factor, sx, sy) {
    const wx = (sx - view.left) / view.scale + view.minX;
    const wy = (sy - view.top) / view.scale + view.minY;
    const next = Math.min(200, Math.max(1, (zoom ? zoom.factor : 1) * factor));
    const scale = fitScale * next;
    const left = sx - (wx - view.minX) * scale;
    const top = sy - (wy - view.minY) * scale;
    zoom = next === 1 && factor < 1 ? null
      : { factor: next, cx: view.minX + (mapSize.width / 2 - left) / scale, cy: view.minY + (mapSize.height / 2 - top) / scale };
    redrawMap();
  }
  function panBy(dx, dy) {
    if (!zoom) zoom = { factor: 1, cx: view.minX + (mapSize.width / 2 - view.left) / view.scale, cy: view.minY + (mapSize.height / 2 - view.top) / view.scale };
    zoom.cx -= dx / view.scale;
    zoom.cy -= dy / view.scale;
    redrawMap();
  }
  function resetView() {
    zoom = null;
    redrawMap();
  }
  // Seeks to where A passes the point of the map under the pointer: of A's points near enough to the nearest
  // one (within a few pixels), the one whose time is closest to now, so a click on a stretch every lap
  // drives goes to this lap's pass.
  function seekToMap(sx, sy) {
    const run = runs[0];
    const wx = (sx - view.left) / view.scale + view.minX;
    const wy = (sy - view.top) / view.scale + view.minY;
    let nearest = Infinity;
    for (let i = 0; i < run.read; i++) nearest = Math.min(nearest, (run.x[i] - wx) ** 2 + (run.y[i] - wy) ** 2);
    const near = (Math.sqrt(nearest) + 6 / view.scale) ** 2;
    let chosen = -1;
    for (let i = 0; i < run.read; i++) {
      if ((run.x[i] - wx) ** 2 + (run.y[i] - wy) ** 2 > near) continue;
      if (chosen < 0 || Math.abs(run.t[i] - run.start - time) < Math.abs(run.t[chosen] - run.start - time)) chosen = i;
    }
    if (chosen < 0) return;
    // Then the nearest point of that pass.
    const distanceTo = (i) => (run.x[i] - wx) ** 2 + (run.y[i] - wy) ** 2;
    let best = chosen;
    for (let i = chosen; i >= 0 && distanceTo(i) <= near; i--) if (distanceTo(i) < distanceTo(best)) best = i;
    for (let i = chosen; i < run.read && distanceTo(i) <= near; i++) if (distanceTo(i) < distanceTo(best)) best = i;
    seek(run.t[best] - run.start);
  }
  const onMap = (event) => {
    const box = mapCanvas.getBoundingClientRect();
    return [event.clientX - box.left, event.clientY - box.top];
  };
  let mapDrag = null;
  mapBox.addEventListener("pointerdown", (event) => {
    if (event.target.id === "reset-view") return;
    mapBox.setPointerCapture(event.pointerId);
    const [sx, sy] = onMap(event);
    mapDrag = { pan: event.shiftKey || event.button === 1, sx, sy };
    if (!mapDrag.pan) seekToMap(sx, sy);
  });
  mapBox.addEventListener("pointermove", (event) => {
    if (!mapDrag) return;
    const [sx, sy] = onMap(event);
    if (mapDrag.pan) {
      panBy(sx - mapDrag.sx, sy - mapDrag.sy);
      mapDrag.sx = sx;
      mapDrag.sy = sy;
    } else {
      seekToMap(sx, sy);
    }
  });
  mapBox.addEventListener("pointerup", () => (mapDrag = null));
  mapBox.addEventListener(
    "wheel",
    (event) => {
      event.preventDefault();
      const [sx, sy] = onMap(event);
      zoomAt(Math.exp(-event.deltaY * 0.002), sx, sy);
    },
    { passive: false },
  );
  byId("reset-view").addEventListener("click", resetView);

  let lastFrame = null;
  let moved = false;
  function frame(now) {
    if (stopped) return;
    if (playing && lastFrame !== null) {
      time = Math.min(duration, time + ((now - lastFrame) / 1000) * speed);
      if (time >= duration) playing = false;
      if (!moved && time > 0) {
        moved = true;
        performance.mark("replay-first-move");
      }
      update();
    }
    lastFrame = now;
    requestAnimationFrame(frame);
  }

  function drawAll() {
    drawMap();
    deltaTrace.draw();
    speedTrace.draw();
    update();
  }
  window.addEventListener("resize", drawAll);
  drawAll();
  requestAnimationFrame(frame);
  setTimeout(readInBackground, 0);
  return {
    stop() {
      stopped = true;
      window.removeEventListener("keydown", onKey, true);
      window.removeEventListener("keyup", onKeyUp, true);
      window.removeEventListener("resize", drawAll);
    },
  };
}

// The replay page: its own data block, its keys heard wherever the focus is.
{
  const block = document.getElementById("replay-data");
  if (block) {
    const data = JSON.parse(block.textContent);
    document.title = data.title;
    startReplay(data);
  }
}
