"use strict";
// The board of Lumaro ghost runs. Everything it shows comes from the data block written by lumaro-ghost board:
// per group (a map and a lap count) its runs in rank order, each with its race time, laps, sectors, findings,
// its line as driven (the replay's compact points) and its time and speed along the laps at the trace's
// samples. The page ranks the runs it shows (all, or those without a finding) by the rule the board ranks
// them by, sorts a table by any column, draws the lines asked for on the group's map, and replays a run
// against the group's best with the replay's own player (replay.js's startReplay), in a dialog. Texts from
// files are only ever set as text, never as markup.
(function () {
  const data = JSON.parse(document.getElementById("board-data").textContent);
  const byId = (id) => document.getElementById(id);
  const { signed } = replayTexts(data);
  const plain = (seconds) => seconds.toFixed(3);
  // The runs' colours: the replay's, apart from the pace palette's.
  const colourOf = (slot) => data.runColours[slot % data.runColours.length];
  function element(tag, text, className) {
    const made = document.createElement(tag);
    if (text !== undefined) made.textContent = text;
    if (className) made.className = className;
    return made;
  }
  const lapsText = (laps) => laps + (laps === 1 ? " lap" : " laps");
  const isolated = (text) => element("bdi", text);

  // --- Ranks ------------------------------------------------------------------------------------------
  // The runs shown that can be ranked (race is null for the others), ranked by race time; a run level with the one ahead (less than
  // data.level apart) shares its rank and is tied, as lumaro-ghost board ranks them. The data's order is the
  // board's (level runs in the order of their files), which the ranks of any of its runs keep.
  function rankRuns(shown) {
    const ranked = shown.filter((run) => run.race !== null);
    const byTime = ranked.slice().sort((a, b) => a.race - b.race);
    const figures = new Map();
    let start = 0;
    while (start < byTime.length) {
      let end = start + 1;
      while (end < byTime.length && byTime[end].race - byTime[end - 1].race < data.level) end++;
      for (let i = start; i < end; i++) figures.set(byTime[i], { rank: start + 1, tied: end - start > 1 });
      start = end;
    }
    // Gaps between the times shown (whole milliseconds, as lumaro-ghost rounds them), so that they agree.
    const gap = (ahead, run) => (run.raceMs - ahead.raceMs) / 1000;
    ranked.forEach((run, i) => {
      const figure = figures.get(run);
      figure.toBest = i === 0 ? null : gap(ranked[0], run);
      figure.toAhead = i === 0 ? null : gap(ranked[i - 1], run);
    });
    return figures;
  }

  // --- Lines ------------------------------------------------------------------------------------------
  // A run's line read whole, once, with the replay's reader.
  function lineOf(run) {
    if (!run.line) {
      run.line = replayRun({ points: run.points, frames: run.frames }, 0);
      readReplayPoints(run.line, run.frames, data);
    }
    return run.line;
  }

  // A run's race time and speed at every sample of the trace along the laps it completes, read once.
  function alongLaps(run) {
    if (!run.trace) {
      const numbers = readReplayNumbers(run.along);
      run.trace = [];
      run.speed = [];
      for (let i = 0, time = 0, speed = 0; i + 1 < numbers.length; i += 2) {
        time += numbers[i];
        speed += numbers[i + 1];
        run.trace.push(time / data.traceTimesPerSecond);
        run.speed.push(speed / data.traceSpeedsPerUnit);
      }
    }
    return run;
  }

  // --- The replay -------------------------------------------------------------------------------------
  // A pair of runs as the replay's data block holds them: A the group's best, B the run chosen, their traces
  // over the laps both complete (the difference at a sample is B's race time there less A's), their lap and
  // sector rows, and the group's theoretical best.
  const letters = "AB";
  function replayOf(group, sides) {
    sides.forEach(alongLaps);
    const perLap = group.sectors * group.samplesPerSector;
    const laps = Math.min(...sides.map((run) => run.laps.length));
    const lapLength = group.referenceLength > 0 ? group.referenceLength : 1;
    const samples = laps > 0 ? laps * perLap + 1 : 1;
    const trace = { distance: [], secondsA: [], delta: sides.map(() => []), speed: sides.map(() => []) };
    for (let k = 0; k < samples; k++) {
      const a = laps > 0 ? sides[0].trace[k] : 0;
      trace.distance.push((k / perLap) * lapLength);
      trace.secondsA.push(a);
      sides.forEach((run, i) => {
        trace.delta[i].push(laps > 0 ? run.trace[k] - a : 0);
        trace.speed[i].push(laps > 0 ? run.speed[k] : 0);
      });
    }
    const rows = { laps: [], sectors: [] };
    for (let lap = 0; lap < laps; lap++) {
      rows.laps.push({ lap: lap + 1, label: String(lap + 1), start: trace.distance[lap * perLap],
        end: trace.distance[(lap + 1) * perLap], seconds: sides.map((run) => run.laps[lap]) });
      for (let s = 0; s < group.sectors; s++) {
        const first = lap * perLap + s * group.samplesPerSector;
        const seconds = sides.map((run) => run.sectors[lap][s]);
        rows.sectors.push({ lap: lap + 1, from: s / group.sectors, to: (s + 1) / group.sectors,
          start: trace.distance[first], end: trace.distance[first + group.samplesPerSector], seconds,
          delta: seconds.map((t) => t - seconds[0]) });
      }
    }
    const notes = [];
    if (laps < group.laps) notes.push("Replayed over the " + lapsText(laps) + " both runs complete");
    sides.forEach((run, i) => run.findings.forEach((finding) => notes.push(letters[i] + ": " + finding.text)));
    const title = group.map + ", " + lapsText(group.laps) + ": " +
      (sides.length > 1 ? sides[1].player + " against the best, " + sides[0].player : sides[0].player);
    return Object.assign({}, data, {
      title,
      notes,
      runs: sides.map((run, i) => ({ letter: letters[i], name: letters[i], file: run.fileName, map: group.map,
        player: run.player, runTime: run.runTime, laps: String(group.laps), frames: run.frames,
        lapLinesFound: run.lapLinesFound, start: run.start, extent: { box: run.box, latest: run.latest },
        points: run.points })),
      sectorsPerLap: group.sectors,
      trace,
      laps: rows.laps,
      sectors: rows.sectors,
      best: group.theoreticalBest === null ? null : { lap: group.theoreticalBest,
        sectors: group.bestSectors.map((best) => best[0]),
        title: "The group's theoretical best: the best time of each sector over the runs without a finding, and their sum" },
      startLine: "the group's start line",
    });
  }

  const dialog = byId("replay-dialog");
  let player = null;
  // Closed by Escape or Close; its event comes a moment later, when another replay may have opened it again.
  dialog.addEventListener("close", () => {
    if (dialog.open) return;
    if (player) player.stop();
    player = null;
    byId("replay-place").replaceChildren();
  });
  byId("replay-close").addEventListener("click", () => dialog.close());
  function openReplay(group, sides) {
    if (player) player.stop();
    if (!dialog.open) dialog.showModal();
    byId("replay-place").replaceChildren(byId("replay-markup").content.cloneNode(true));
    player = startReplay(replayOf(group, sides));
    dialog.dataset.runs = sides.map((run) => run.index).join(" ");
  }

  // --- A group ----------------------------------------------------------------------------------------
  const hide = byId("hide-questionable");
  function makeGroup(group, g) {
    group.runs.forEach((run, index) => Object.assign(run, { index, shownLine: null }));
    const section = element("section", undefined, "group");
    section.id = "group-" + (g + 1);
    section.dataset.group = g;
    const heading = element("h2");
    heading.append(isolated(group.map), ", " + lapsText(group.laps));
    const note = element("p", undefined, "group-note");
    const body = element("div", undefined, "group-body");
    const tables = element("div", undefined, "group-tables");
    const mapBox = element("div", undefined, "group-map");
    body.append(tables, mapBox);
    section.append(heading, note, body);
    const link = element("a");
    link.href = "#" + section.id;
    link.append(isolated(group.map), ", " + lapsText(group.laps) + " (" + group.runs.length + ")");
    byId("board-nav").append(link);

    let shown = group.runs;
    let figures = new Map();
    const best = () => shown.find((run) => run.race !== null);
    // A run replays against the best; the best against the next run ranked, or alone.
    function replay(run) {
      const top = best();
      if (!top) return openReplay(group, [run]);
      if (run !== top) return openReplay(group, [top, run]);
      const next = shown.find((other) => other !== top && other.race !== null);
      openReplay(group, next ? [top, next] : [top]);
    }
    function clickable(row, run) {
      row.dataset.run = run.index;
      row.addEventListener("click", (event) => {
        if (!event.target.closest("input, label")) replay(run);
      });
    }

    // The ranked table: every column sorts, by a click on its heading or its button's keys.
    const rankText = (run) => {
      const figure = figures.get(run);
      return (figure ? (figure.tied ? "=" : "") + figure.rank : "-") + (run.findings.length ? "?" : "");
    };
    const kinds = (run) => [...new Set(run.findings.map((finding) => finding.kind))].join(", ");
    const lapColumns = Array.from({ length: group.laps }, (_, lap) => ({
      title: "Lap " + (lap + 1), key: (run) => (lap < run.laps.length ? run.laps[lap] : null),
      cell: (run) => (lap < run.laps.length ? plain(run.laps[lap]) : ""),
    }));
    const columns = [
      { title: "Line", key: (run) => (run.shownLine === null ? 1 : 0), className: "line" },
      { title: "Rank", key: (run) => (figures.get(run) ? figures.get(run).rank : null), cell: rankText },
      { title: "Player", key: (run) => run.player, className: "name" },
      { title: "Time", key: (run) => run.race,
        cell: (run) => run.time },
      { title: "To best", key: (run) => (figures.get(run) ? figures.get(run).toBest : null),
        cell: (run) => (figures.get(run) && figures.get(run).toBest !== null ? signed(figures.get(run).toBest) : "") },
      { title: "To ahead", key: (run) => (figures.get(run) ? figures.get(run).toAhead : null),
        cell: (run) => (figures.get(run) && figures.get(run).toAhead !== null ? signed(figures.get(run).toAhead) : "") },
      ...lapColumns,
      { title: "Found", key: (run) => run.findings.length || null, cell: kinds, className: "found" },
      { title: "File", key: (run) => run.fileName, className: "name file" },
    ];
    const ranking = element("table", undefined, "board-table ranking");
    ranking.append(element("caption", "Runs by race time"));
    const sort = { column: 1, down: false };
    const head = element("tr");
    columns.forEach((column, c) => {
      const th = element("th", undefined, (column.className || "").includes("name") ? "name" : "");
      const button = element("button", column.title);
      button.type = "button";
      button.title = "Sort by " + column.title.toLowerCase();
      button.addEventListener("click", () => {
        sort.down = sort.column === c ? !sort.down : false;
        sort.column = c;
        refresh();
      });
      th.append(button);
      head.append(th);
    });
    const rankingHead = element("thead");
    rankingHead.append(head);
    const rankingBody = element("tbody");
    ranking.append(rankingHead, rankingBody);
    const rows = new Map();
    for (const run of group.runs) {
      const row = element("tr", undefined, run.findings.length ? "questionable" : "");
      const cells = columns.map((column) => {
        const cell = element("td", undefined, column.className);
        row.append(cell);
        return cell;
      });
      const toggle = element("input");
      toggle.type = "checkbox";
      toggle.setAttribute("aria-label", "Line on the map");
      const swatch = element("span", undefined, "swatch");
      toggle.addEventListener("change", () => showLine(run, toggle.checked));
      cells[0].append(toggle, swatch);
      const name = element("button", run.player);
      name.type = "button";
      name.title = "Replay against the group's best";
      cells[2].append(name);
      // The file's name, then those of the files that hold the same run; their paths and players on hover.
      cells[cells.length - 1].textContent = [run.fileName, ...run.same.map(([, name]) => name)].join(", ");
      cells[cells.length - 1].title = [run.file, ...run.same.map(([path, , player]) => path + " (" + player + ")")].join("\n");
      if (run.findings.length) cells[cells.length - 2].title = run.findings.map((finding) => finding.text).join("\n");
      clickable(row, run);
      rows.set(run, { row, cells, toggle, swatch });
      rankingBody.append(row);
    }
    tables.append(ranking);

    // The sector table: each run's best time in each sector over its laps, the best of all marked with its
    // holder, the run's best lap and its gap to the theoretical best; in tables of ten sectors at the most.
    const sectorRows = new Map();
    const bestOf = (run, s) => {
      const times = run.sectors.map((lap) => lap[s]).filter((t) => t !== undefined);
      return times.length ? Math.min(...times) : null;
    };
    const perTable = 10;
    for (let first = 0; first < group.sectors && group.theoreticalBest !== null; first += perTable) {
      const last = Math.min(group.sectors, first + perTable);
      const closing = last === group.sectors;
      const table = element("table", undefined, "board-table sectors");
      table.append(element("caption", "Sectors " + (first + 1) + (last > first + 1 ? " to " + last : "") +
        ": each run's best time in each (shares of the reference lap), \u2605 the best of all"));
      const top = element("tr");
      top.append(element("th", "Rank"), element("th", "Player", "name"));
      for (let s = first; s < last; s++) top.append(element("th", "S" + (s + 1)));
      if (closing) top.append(element("th", "Best lap"), element("th", "To theoretical"));
      const thead = element("thead");
      thead.append(top);
      const tbody = element("tbody");
      for (const run of group.runs) {
        const row = element("tr", undefined, run.findings.length ? "questionable" : "");
        const rank = element("td");
        const player = element("td", run.player, "name short");
        player.title = run.player;
        row.append(rank, player);
        for (let s = first; s < last; s++) {
          const time = bestOf(run, s);
          const holder = group.bestSectors[s][1] === run.index;
          const cell = element("td", time === null ? "" : plain(time) + (holder ? " \u2605" : ""), holder ? "holder" : "");
          if (holder) cell.title = "The best of sector " + (s + 1) + ", lap " + group.bestSectors[s][2];
          row.append(cell);
        }
        if (closing) {
          row.append(element("td", run.bestLap === null ? "" : plain(run.bestLap)),
            element("td", run.bestLap === null ? "" : signed(run.bestLap - group.theoreticalBest)));
        }
        clickable(row, run);
        const list = sectorRows.get(run) || [];
        list.push({ row, rank });
        sectorRows.set(run, list);
        tbody.append(row);
      }
      const bestRow = element("tr", undefined, "best-sectors");
      bestRow.append(element("td", "\u2605"), element("td", "Best of all", "name"));
      for (let s = first; s < last; s++) {
        const [seconds, holder, lap] = group.bestSectors[s];
        const cell = element("td", plain(seconds));
        const name = element("span", group.runs[holder].player, "holder-name");
        cell.title = group.runs[holder].player + ", lap " + lap;
        cell.append(name, "lap " + lap);
        bestRow.append(cell);
      }
      if (closing) {
        const sum = element("td", "theoretical best " + plain(group.theoreticalBest));
        sum.colSpan = 2;
        sum.title = "The best time of each sector over the runs without a finding, and their sum";
        bestRow.append(sum);
      }
      tbody.append(bestRow);
      table.append(thead, tbody);
      section.append(table);
    }

    // The findings, one a line: evidence to weigh, never a verdict.
    const findingItems = new Map();
    if (group.runs.some((run) => run.findings.length)) {
      section.append(element("p", "Findings (? above): what a car cannot do, seen in the file; evidence to weigh, not a verdict", "group-note"));
      const list = element("ul", undefined, "findings");
      for (const run of group.runs) {
        const items = run.findings.map((finding) => {
          const item = element("li");
          const who = element("b");
          who.append(isolated(run.player));
          item.append(who, " (", isolated(run.fileName), "): " + finding.text);
          list.append(item);
          return item;
        });
        findingItems.set(run, items);
      }
      section.append(list);
    }

    // The map: the reference lap's run as the track, the start line and the sector lines across it, and the
    // lines asked for, each in its colour. One scale for every run, x to the right and y downward, as the
    // replay draws them, fitted to the runs without a finding (a jump far off the track would shrink the rest).
    const canvas = element("canvas");
    canvas.setAttribute("aria-label", "Map of " + group.map);
    const legend = element("div", "The track is the reference lap; tick a run's Line to draw it.", "map-legend");
    mapBox.append(canvas, legend);
    const fitted = group.runs.filter((run) => !run.findings.length).length ? group.runs.filter((run) => !run.findings.length) : group.runs;
    const box = [0, 1, 2, 3].map((i) => (i < 2 ? Math.min : Math.max)(...fitted.map((run) => run.box[i])));
    const track = group.reference ? group.runs[group.reference[0]] : group.runs[0];
    // Drawn while the group is in view (a map measures its place, which lays its group out), as tall as the
    // track is for the map's width, within bounds.
    let inView = false;
    function drawMap() {
      if (!inView) return;
      const wide = canvas.getBoundingClientRect().width;
      const tall = Math.round(Math.min(420, Math.max(160, (wide * (box[3] - box[1])) / Math.max(box[2] - box[0], 1e-9) + 28)));
      if (canvas.style.height !== tall + "px") canvas.style.height = tall + "px";
      const area = canvas.getBoundingClientRect();
      const ratio = window.devicePixelRatio || 1;
      canvas.width = Math.max(1, Math.round(area.width * ratio));
      canvas.height = Math.max(1, Math.round(area.height * ratio));
      const context = canvas.getContext("2d");
      context.setTransform(ratio, 0, 0, ratio, 0, 0);
      const pad = 14;
      const spanX = Math.max(box[2] - box[0], 1e-9);
      const spanY = Math.max(box[3] - box[1], 1e-9);
      const scale = Math.min((area.width - 2 * pad) / spanX, (area.height - 2 * pad) / spanY);
      const left = (area.width - spanX * scale) / 2;
      const top = (area.height - spanY * scale) / 2;
      const px = (x) => left + (x - box[0]) * scale;
      const py = (y) => top + (y - box[1]) * scale;
      const stroke = (run) => {
        const line = lineOf(run);
        context.beginPath();
        for (let i = 0; i < line.read; i++) (i ? context.lineTo : context.moveTo).call(context, px(line.x[i]), py(line.y[i]));
        context.stroke();
      };
      context.lineJoin = "round";
      context.lineCap = "round";
      context.strokeStyle = "#dde1e7";
      context.lineWidth = 8;
      stroke(track);
      context.lineCap = "butt";
      context.font = "600 9px system-ui, sans-serif";
      context.textAlign = "center";
      context.textBaseline = "middle";
      group.marks.forEach(([x, y, hx, hy], s) => {
        // Across the way the lap goes, and the sector's number beside it.
        const nx = -hy;
        const ny = hx;
        context.strokeStyle = s === 0 ? "#1d2430" : "#9aa3b2";
        context.lineWidth = s === 0 ? 3 : 1.5;
        context.beginPath();
        context.moveTo(px(x) - 7 * nx, py(y) - 7 * ny);
        context.lineTo(px(x) + 7 * nx, py(y) + 7 * ny);
        context.stroke();
        if (s > 0) {
          context.fillStyle = "#4a5363";
          context.fillText(String(s + 1), px(x) + 13 * nx, py(y) + 13 * ny);
        }
      });
      context.lineWidth = 2;
      for (const run of group.runs) {
        if (run.shownLine === null || !shown.includes(run)) continue;
        context.strokeStyle = colourOf(run.shownLine);
        stroke(run);
      }
      mapBox.dataset.lines = group.runs.filter((run) => run.shownLine !== null && shown.includes(run))
        .map((run) => run.index).join(" ");
    }
    // A line takes the first colour no other line shown has.
    function showLine(run, on) {
      const taken = new Set(group.runs.map((other) => other.shownLine).filter((slot) => slot !== null));
      let slot = 0;
      while (taken.has(slot) && slot < data.runColours.length) slot++;
      run.shownLine = on ? slot : null;
      const { toggle, swatch } = rows.get(run);
      toggle.checked = on;
      swatch.style.background = on ? colourOf(slot) : "transparent";
      drawMap();
    }

    // What the hide control leaves, ranked among itself, in the order sorted.
    function refresh() {
      shown = hide.checked ? group.runs.filter((run) => !run.findings.length) : group.runs;
      figures = rankRuns(shown);
      const column = columns[sort.column];
      const order = group.runs.slice().sort((a, b) => {
        const ka = column.key(a);
        const kb = column.key(b);
        if (ka === null || kb === null) return (ka === null) - (kb === null);
        const by = typeof ka === "string" ? ka.localeCompare(kb, undefined, { numeric: true }) : ka - kb;
        return sort.down ? -by : by;
      });
      for (const run of order) {
        const { row, cells } = rows.get(run);
        row.hidden = !shown.includes(run);
        columns.forEach((c, i) => {
          if (c.cell) cells[i].textContent = c.cell(run);
        });
        rankingBody.append(row);
        for (const { row: sectorRow, rank } of sectorRows.get(run) || []) {
          sectorRow.hidden = row.hidden;
          rank.textContent = rankText(run);
        }
        for (const item of findingItems.get(run) || []) item.hidden = row.hidden;
      }
      head.querySelectorAll("th").forEach((th, i) => {
        th.setAttribute("aria-sort", i === sort.column ? (sort.down ? "descending" : "ascending") : "none");
      });
      const ties = shown.some((run) => figures.get(run) && figures.get(run).tied);
      note.textContent = shown.length + (shown.length === 1 ? " run" : " runs") + ", ranked by race time at one start line" +
        (ties ? "; = level within half a millisecond, in the order of their files" : "") +
        (group.theoreticalBest !== null ? "; theoretical best " + plain(group.theoreticalBest) + " s a lap" : "") +
        (shown.length < group.runs.length ? "; " + (group.runs.length - shown.length) + " with a finding hidden" : "");
      drawMap();
    }
    byId("board-groups").append(section);
    refresh();
    const first = best();
    if (first) showLine(first, true);
    return {
      refresh,
      draw: drawMap,
      shown(visible) {
        inView = visible;
        drawMap();
      },
    };
  }

  // --- The page ---------------------------------------------------------------------------------------
  byId("board-title").textContent = data.title;
  const groups = data.groups.map(makeGroup);
  const runCount = data.groups.reduce((count, group) => count + group.runs.length, 0);
  byId("board-summary").textContent = runCount + (runCount === 1 ? " run in " : " runs in ") + data.groups.length +
    (data.groups.length === 1 ? " group" : " groups") +
    (data.otherRaces ? "; " + data.otherRaces + (data.otherRaces === 1 ? " file" : " files") + " of other maps or lap counts left out" : "");
  hide.addEventListener("change", () => groups.forEach((group) => group.refresh()));
  if (data.unread.length) {
    byId("board-unread").hidden = false;
    for (const [path, reason] of data.unread) {
      const item = element("li");
      item.append(isolated(path), ": " + reason);
      byId("unread-list").append(item);
    }
  }
  // A group is laid out and its map drawn when it comes into view (the page's style skips the others), so a
  // board of many groups opens as fast as one.
  const seen = new IntersectionObserver((entries) => {
    for (const entry of entries) groups[Number(entry.target.dataset.group)].shown(entry.isIntersecting);
  });
  document.querySelectorAll(".group").forEach((section) => seen.observe(section));
  window.addEventListener("resize", () => groups.forEach((group) => group.draw()));
})();
