// The page in Chromium against the native program: each guided experiment opened from a link
// (#e= or #z=) holds the state of `bruvik --replay FILE --dump-at` at its saved moment, and
// every control shows it; refused files (by Open and by a drop) and links change nothing and say
// why in one sentence; the strip's Link, Timeline, Save and Open work; a run acted on (the
// window's boxes, Enter, the options, Step, Back) and saved replays natively to the state on
// screen; the keyboard alone (a seed, Tab, Enter, the Pause key, Alt keys, Ctrl+S, Ctrl+O) and
// going back by the slider; a screen reader's view of a whole run; RESTART opens a fresh copy;
// the sweep's plots put each point and bar where the table says; a lesson made in Save's dialog
// comes back from its file and link, or is refused; the guided experiments listed with their
// questions; "How BRUVIK counts" with its pictures in the site and in bruvik.html; the
// terminal's runs and sweeps by script and by the panel; bruvik.html draws the whole window
// from file://, scales it, and names its controls (axe).
//   node browser_check.mjs BUILD_WEB PROGRAM ROOT
import { execFileSync } from "node:child_process";
import { readdirSync, readFileSync, writeFileSync } from "node:fs";
import { mkdtemp } from "node:fs/promises";
import { tmpdir } from "node:os";
import { createRequire } from "node:module";
import { dirname, join, resolve } from "node:path";
import { pathToFileURL } from "node:url";
import { deflateRawSync, inflateRawSync } from "node:zlib";
import { chromium } from "playwright-core";
import { serve } from "../../web/page/serve.mjs";
import { checkPane } from "./pane_check.mjs";
import { checkRuns } from "./runs_check.mjs";

const [buildWeb, program, root] = process.argv.slice(2).map((p) => resolve(p));
const started = Date.now();
let failures = 0;
const expect = (ok, what) => {
  if (!ok) {
    console.error(`browser: ${what}`);
    failures++;
  }
};
// Plain (#e=) or raw deflate (#z=), both as the page must read them.
const link = (text, packed) =>
  packed ? "#z=" + deflateRawSync(Buffer.from(text, "utf8")).toString("base64url")
         : "#e=" + Buffer.from(text, "utf8").toString("base64url");

// One sentence: a full stop at its end and none between.
const oneSentence = (s) => /^\S[^\n]*\.$/.test(s) && !/[.!?]\s+[A-Z]/.test(s);
const stateOf = (page) => page.evaluate(() => JSON.stringify(window.bruvik.state()));
// `--dump-at MS` of an experiment file, or what the program said instead.
const nativeAt = (file, ms) => {
  try {
    return JSON.stringify(JSON.parse(execFileSync(program, ["--headless", "--replay", file, "--dump-at", `${ms}`],
                                                  { encoding: "utf8", stdio: ["ignore", "pipe", "pipe"] })));
  } catch (e) {
    return e.stderr;
  }
};
// Save's dialog opened and left by its file button, as a click does; the keys do it by Enter.
const byDialog = (page) => async () => {
  await page.click("#save");
  await page.click("#save-file");
};
// The run saved by `save` (clicks or keys), as the program reads it.
const savedRun = async (page, save) => {
  const [download] = await Promise.all([page.waitForEvent("download"), save()]);
  const file = join(await mkdtemp(join(tmpdir(), "bruvik-page-")), download.suggestedFilename());
  await download.saveAs(file);
  return { file, name: download.suggestedFilename(), experiment: JSON.parse(readFileSync(file, "utf8")) };
};
// A file given to the page as a user gives it: picked by Open or dropped on the page.
const giveFile = async (page, how, name, text) => {
  if (how === "open") {
    await page.setInputFiles("#file", { name, mimeType: "application/json", buffer: Buffer.from(text, "utf8") });
    return;
  }
  const dropped = await page.evaluateHandle(([name, text]) => {
    const data = new DataTransfer();
    data.items.add(new File([text], name, { type: "application/json" }));
    return data;
  }, [name, text]);
  await page.dispatchEvent("#stage", "drop", { dataTransfer: dropped });
};
// The strip's time of a moment: minutes, seconds and tenths.
const timeText = (ms) => {
  const tenths = Math.floor(ms / 100);
  return `${String(Math.floor(tenths / 600)).padStart(2, "0")}:${String(Math.floor(tenths / 10) % 60).padStart(2, "0")}.${tenths % 10}`;
};
// Whether a line of an aria snapshot reads `role "name": value`.
const reads = (snapshot, role, name, value) => {
  const escape = (t) => t.replace(/[.*+?^${}()|[\]\\]/g, "\\$&");
  return new RegExp(`^\\s*- ${role} "${escape(name)}"[^:\\n]*: "?${escape(value)}"?$`, "m").test(snapshot);
};
// "How BRUVIK counts" opened from the strip over the run, read to its end (its pictures
// loaded), closed by Escape: the run is as it was.
const docPictures = (readFileSync(join(root, "docs", "how-bruvik-counts.md"), "utf8").match(/!\[/g) ?? []).length;
const docRead = async (page, where, src) => {
  const before = await stateOf(page);
  await page.getByRole("button", { name: "How BRUVIK counts" }).click();
  const loaded = () => [...document.querySelectorAll("#doc img")].every((i) => {
    i.scrollIntoView();
    return i.complete && i.naturalWidth > 0;
  });
  await page.waitForFunction(loaded, null, { timeout: 5000 }).catch(() => undefined);
  const doc = await page.evaluate(() => ({
    open: document.getElementById("doc").open,
    heading: document.querySelector("#doc h1")?.textContent,
    pictures: [...document.querySelectorAll("#doc img")].map((i) => `${i.getAttribute("src").slice(0, 10)} ${i.naturalWidth}`),
  }));
  await page.keyboard.press("Escape");
  const after = await page.evaluate(() => !document.getElementById("doc").open);
  expect(doc.open && doc.heading === "How BRUVIK counts" && doc.pictures.length === docPictures &&
         doc.pictures.every((p) => p.startsWith(src) && !p.endsWith(" 0")) && after && await stateOf(page) === before,
         `the doc in ${where}: ${JSON.stringify(doc)}, ${after ? "closed" : "still open"} by Escape`);
};
const alertOf = (page) => page.evaluate(() => document.querySelector('[role="alert"]').textContent);

// What a user sees of each control, by name: its text or caption (none for pictures, lines
// and shapes), whether it shows, whether it is enabled, whether an option is selected.
const shown = () =>
  [...document.querySelectorAll("[data-control]")].map((el) => {
    const outer = el.closest("[data-kind]");
    const kind = outer.getAttribute("data-kind");
    let text = null;
    if (kind === "text_box") text = el.value;
    else if (kind === "option_button") text = outer.textContent;
    else if (kind === "frame") text = el.querySelector(".frame-caption").textContent;
    else if (kind === "label" || kind === "command_button") text = el.textContent;
    // Lines and shapes: the colour and width drawn.
    let border;
    const hex = (rgb) => "#" + (rgb.match(/\d+/g) ?? []).slice(0, 3).map((n) => Number(n).toString(16).padStart(2, "0")).join("").toUpperCase();
    if (kind === "line") {
      const line = el.querySelector("line");
      border = [hex(getComputedStyle(line).stroke), Number(line.getAttribute("stroke-width"))];
    } else if (kind === "shape") {
      const shape = getComputedStyle(el.querySelector(".shape"));
      border = [hex(shape.borderTopColor), parseFloat(shape.borderTopWidth)];
    }
    return { name: el.getAttribute("data-control"), text, border, visible: getComputedStyle(outer).visibility !== "hidden",
             enabled: !outer.classList.contains("disabled"), value: kind === "option_button" ? el.checked : undefined };
  });

const { server, url } = await serve(join(buildWeb, "site"), 0);
const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox"] });
try {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 }, acceptDownloads: true });
  context.setDefaultTimeout(20000);
  const open = async (address) => {
    const page = await context.newPage();
    const errors = [];
    page.on("pageerror", (e) => errors.push(e.message));
    await page.goto(address);
    await page.waitForFunction(() => window.bruvik !== undefined);
    await page.evaluate(() => window.bruvik.ready);
    return { page, errors };
  };

  const lessons = readdirSync(join(root, "experiments")).filter((f) => f.endsWith(".bruvik")).sort();
  expect(lessons.length === 5, `${lessons.length} guided experiments`);
  for (const file of lessons) {
    const path = join(root, "experiments", file);
    const text = readFileSync(path, "utf8");
    const experiment = JSON.parse(text);
    const ms = experiment.saved_at.ms;
    const native = JSON.parse(execFileSync(program, ["--headless", "--replay", path, "--dump-at", `${ms}`],
                                           { encoding: "utf8" }));
    const { page, errors } = await open(url + link(text, lessons.indexOf(file) % 2 === 1));
    const state = await page.evaluate(() => window.bruvik.state());
    expect(JSON.stringify(state) === JSON.stringify(native), `${file}: the state differs from the program's at ${ms} ms`);
    const controls = await page.evaluate(shown);
    expect(controls.length === Object.keys(native.controls).length,
           `${file}: ${controls.length} controls drawn, ${Object.keys(native.controls).length} in the run`);
    for (const c of controls) {
      const model = native.controls[c.name];
      const text = model?.text ?? model?.caption ?? "";
      const same = model !== undefined && (c.text === null || c.text === text) && c.visible === model.visible &&
                   c.enabled === (model.enabled ?? true) && c.value === model.value &&
                   (c.border === undefined || (c.border[0] === model.border_color && c.border[1] === model.border_width));
      expect(same, `${file}: ${c.name} shows ${JSON.stringify(c)}, the run holds ${JSON.stringify(model)}`);
    }
    const strip = await page.evaluate(() => [document.getElementById("time").textContent,
                                             document.getElementById("lesson-title").textContent,
                                             document.getElementById("pause").textContent]);
    expect(strip[0] === timeText(ms) && strip[1] === experiment.title && strip[2] === "Resume",
           `${file}: the strip shows ${JSON.stringify(strip)}`);

    if (file === lessons[0]) await docRead(page, "the site", "docs/");
    if (file === lessons[0]) {
      // Files and links the program refuses, each for another reason: one sentence in the
      // alert, the run and the strip as they were. Files come by Open and by a drop, in turn.
      const e = experiment;
      const strip = () => page.evaluate(() => ["time", "seed", "lesson-title", "pause"].map((id) => {
        const el = document.getElementById(id);
        return el instanceof HTMLInputElement ? el.value : el.textContent;
      }).join(" "));
      const before = [JSON.stringify(native), await strip()].join(" ");
      const refused = [
        ["open", "not-json.bruvik", "{ this is not JSON", /: it is not JSON \(.*invalid literal/],
        ["drop", "empty.bruvik", "", /: it is not JSON \(.*unexpected end of input/],
        ["open", "list.bruvik", "[7]", /: the file: must be an object, not a list\.$/],
        ["drop", "newer.bruvik", JSON.stringify({ ...e, version: 99 }), /: version: 99 is newer than this BRUVIK reads/],
        ["open", "mtu.bruvik", JSON.stringify({ ...e, settings: { ...e.settings, mtu: 11 } }),
         /: settings\.mtu: must be from 1 to 10, not 11\.$/],
        ["drop", "jump.bruvik", JSON.stringify({ ...e, actions: [{ ...e.actions[0], do: "jump" }] }),
         /: actions\[0\]\.do: "jump" is not an action/],
        ["open", "order.bruvik", JSON.stringify({ ...e, actions: [{ ...e.actions[0], ms: 500 }, e.actions[0]] }),
         /: actions\[1\]\.ms: 0 is earlier than the action before it \(500\)\.$/],
        ["link", "#e=e30*", null, /^This link is damaged: it is not base64url\.$/],
        ["link", "#z=" + Buffer.from("not deflate").toString("base64url"), null, /^This link is damaged: .* not inflate/],
        // A link the page would open at another moment, were it not so long.
        ["link", link(JSON.stringify({ ...e, saved_at: { ...e.saved_at, ms: 8000 } }) + " ".repeat(70000), false), null,
         /^This link is longer than 64 KiB/],
        ["link", link(JSON.stringify({ ...e, version: 99 }), true), null,
         /^The link is not a BRUVIK experiment: version: 99 is newer/],
      ];
      for (const [how, name, text, said] of refused) {
        await page.evaluate(() => { document.querySelector('[role="alert"]').textContent = ""; });
        if (how === "link") await page.evaluate((hash) => { location.hash = hash; }, name);
        else await giveFile(page, how, name, text);
        await page.waitForFunction(() => document.querySelector('[role="alert"]').textContent !== "", null,
                                   { timeout: 5000 }).catch(() => undefined);
        const alert = await alertOf(page);
        const after = [await stateOf(page), await strip()].join(" ");
        expect(said.test(alert) && oneSentence(alert) && (how === "link" || alert.startsWith(`${name} `)) && after === before,
               `${how} ${name.slice(0, 30)}: ${JSON.stringify(alert.slice(0, 160))}, the page ${after === before ? "as it was" : "changed"}`);
      }
    }
    if (file === lessons[0]) {
      // The strip's Link: the address it makes opens the same moment elsewhere.
      const before = await page.evaluate(() => location.hash);
      await page.click("#link");
      await page.waitForFunction((h) => location.hash !== h, before);
      const made = await page.evaluate(() => location.hash);
      const { page: elsewhere } = await open(url + made);
      expect(made.startsWith("#z=") && JSON.stringify(await elsewhere.evaluate(() => window.bruvik.state())) === JSON.stringify(native),
             `the strip's link ${made.slice(0, 12)}... opens another moment`);
      await elsewhere.close();

      // The timeline pane: shown, drawn with the running method's figures, hidden again. A lesson
      // that speaks of the timeline opened with it shown: Alt+T hides it first.
      if (!(await page.evaluate(() => document.getElementById("timeline-pane").hidden))) await page.keyboard.press("Alt+t");
      await page.keyboard.press("Alt+t");
      const pane = await page.evaluate(() => {
        const canvas = document.getElementById("timeline");
        const pixels = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
        const colours = new Set();
        for (let i = 0; i < pixels.length; i += 4 * 97) colours.add(pixels.slice(i, i + 4).join());
        return { shown: !document.getElementById("timeline-pane").hidden, colours: colours.size,
                 figures: document.getElementById("figures").textContent };
      });
      await page.click("#timeline-toggle");
      expect(pane.shown && pane.colours > 4 && pane.figures.startsWith("Pure Aloha: offered load G ") &&
             await page.evaluate(() => document.getElementById("timeline-pane").hidden),
             `the timeline pane: ${JSON.stringify(pane)}`);

      // The user acts on the window and the strip: the file saved then, replayed by the program,
      // is the run on screen, and holds what was done.
      await page.click("#back");
      await page.fill('[data-control="Text6"]', "50");
      await page.press('[data-control="Text6"]', "Enter");
      await page.click('[data-control="Text7"]');
      await page.keyboard.press("End");
      await page.keyboard.type("5");
      await page.keyboard.press("Enter");
      await page.click("#step");
      const [copy] = await Promise.all([context.waitForEvent("page"), page.click('[data-control="Command8"]')]);
      await copy.waitForFunction(() => window.bruvik !== undefined);
      await copy.evaluate(() => window.bruvik.ready);
      const lesson = await copy.evaluate(() => document.getElementById("lesson-title").textContent);
      expect(copy.url() === url && lesson === "", `RESTART opened ${copy.url()} (${lesson}), not a fresh copy`);
      await copy.close();
      const saved = await savedRun(page, byDialog(page));
      const done = saved.experiment.actions.map((a) => `${a.do} ${a.control}`).join(", ");
      // Save's dialog offers the lesson's title and question, and the file keeps them.
      expect(saved.name === "bruvik-seed7.bruvik" && saved.experiment.title === experiment.title && saved.experiment.note === experiment.note &&
             done === "click Command1, data_amount Text6, type Text7, key Text7",
             `saved ${saved.name}: ${done}; ${JSON.stringify(saved.experiment.title)}`);
      const now = await stateOf(page);
      expect(now === nativeAt(saved.file, saved.experiment.saved_at.ms) && JSON.parse(now).controls.Text6.text === "50",
             `${file}: after Back, the data amount, the seconds box, Step and RESTART the program replays another run`);
    }
    expect(errors.length === 0, `${file}: ${errors.join("; ")}`);
    await page.close();
  }

  // Seed 7 not yet started and paused, as a link opens it: the runs below are the same each time.
  const blank = { ...JSON.parse(readFileSync(join(root, "experiments", lessons[0]), "utf8")),
                  title: "", note: "", saved_at: { ms: 0, actions: 0 }, actions: [] };

  // The keyboard alone, as in the desktop: a seed typed (a bad one refused), Tab to the window's
  // start button, Enter, Alt+S three times and Alt+B back to the second step, Ctrl+S; then back
  // by the slider and by Back; the Pause key. The program dumps whole milliseconds, and stations
  // often attempt in the same one: a step or Back ends amid it, so those are held against the
  // page's own earlier state, and the slider's moment against the program's.
  {
    const { page, errors } = await open(url + link(JSON.stringify(blank), false));
    const focused = () => page.evaluate(() => document.activeElement.getAttribute("data-control") ?? document.activeElement.id);
    const tabTo = async (target, key = "Tab") => {
      const passed = [];
      while (passed.at(-1) !== target && passed.length < 40) {
        await page.keyboard.press(key);
        passed.push(await focused());
      }
      return passed;
    };
    const seen = () => page.evaluate(() => ["message", "seed", "run-state"].map((id) => {
      const el = document.getElementById(id);
      return el instanceof HTMLInputElement ? `${el.value}${el.readOnly ? " (read-only)" : ""}` : el.textContent;
    }));
    await tabTo("seed");
    const fresh = (await seen())[1];
    await page.keyboard.type("12x");
    await page.keyboard.press("Enter");
    const bad = await seen();
    expect(bad[0] === 'The seed must be a whole number from 0 to 18446744073709551615, not "12x".' && bad[1] === fresh,
           `the seed 12x: ${JSON.stringify(bad)}`);
    await page.keyboard.press("Control+a");
    await page.keyboard.type("4242");
    await page.keyboard.press("Enter");
    const strip = await tabTo("lessons");
    expect(strip.join(" ") === "speed pause step moment back save open link timeline-toggle runs-toggle lessons",
           `Tab from the seed: ${strip.join(" ")}`);
    expect((await tabTo("Command1", "Shift+Tab")).at(-1) === "Command1", "Shift+Tab never reaches the start button");
    await page.keyboard.press("Enter");
    await page.keyboard.press("Alt+s");
    await page.keyboard.press("Alt+s");
    const second = await stateOf(page);
    await page.keyboard.press("Alt+s");
    const third = await stateOf(page);
    await page.keyboard.press("Alt+b");
    const back = await stateOf(page);
    for (let i = 0; i < 6; i++) await page.keyboard.press("Alt+s");
    const saved = await savedRun(page, async () => {
      await page.keyboard.press("Control+s");
      await page.keyboard.press("Enter");
    });
    const now = await seen();
    expect(third !== second && back === second && saved.name === "bruvik-seed4242.bruvik" && now[1] === "4242 (read-only)" &&
           now[2] === "paused",
           `keys: Alt+S ${third !== second ? "stepped" : "did not step"}, ` +
           `Alt+B ${back === second ? "went back to" : "missed"} ` +
           `the second step; saved ${saved.name}; ${JSON.stringify(now)}`);

    // Back in time by the slider (to halfway between the second step and now), then by Back.
    const middle = Math.floor((JSON.parse(second).virtual_ms + saved.experiment.saved_at.ms) / 2);
    const goneBack = [
      ["the slider", () => page.locator("#moment").evaluate((el, ms) => {
        el.value = `${ms}`;
        el.dispatchEvent(new Event("input", { bubbles: true }));
      }, middle)],
      ["Back", () => page.click("#back")],
    ];
    for (const [how, act] of goneBack) {
      const was = JSON.parse(await stateOf(page)).virtual_ms;
      await act();
      await page.waitForFunction((was) => window.bruvik.state().virtual_ms < was, was, { timeout: 5000 }).catch(() => undefined);
      const state = await stateOf(page);
      const at = JSON.parse(state).virtual_ms;
      const said = await page.evaluate(() => document.getElementById("message").textContent);
      expect(how === "the slider" ? at === middle && state === nativeAt(saved.file, at) : at < was && said.startsWith("Back at the attempt at "),
             `${how} from ${was} ms to ${at} ms: the page shows another run than the program's`);
    }

    // The Pause key lets the clock run, then stops it again.
    const pauseKey = [];
    for (let i = 0; i < 2; i++) {
      await page.keyboard.press("Pause");
      pauseKey.push(await page.evaluate(() => [document.getElementById("pause").textContent,
                                               document.getElementById("run-state").textContent].join(" ").trim()));
    }
    expect(pauseKey.join(", ") === "Pause, Resume paused", `the Pause key: ${pauseKey.join(", ")}`);

    // Ctrl+O picks a file, as Open does.
    const [chooser] = await Promise.all([page.waitForEvent("filechooser"), page.keyboard.press("Control+o")]);
    await chooser.setFiles(join(root, "experiments", lessons[1]));
    await page.waitForFunction(() => document.getElementById("lesson-title").textContent !== "", null,
                               { timeout: 5000 }).catch(() => undefined);
    expect(await page.evaluate(() => document.getElementById("lesson-title").textContent) !== "",
           `Ctrl+O did not open ${lessons[1]}`);
    expect(errors.length === 0, `the keyboard: ${errors.join("; ")}`);
    await page.close();
  }

  // A whole run as fast as possible, then the order options: the selected one shows, and the
  // saved run replays natively to the window on screen.
  {
    const { page, errors } = await open(url + link(JSON.stringify(blank), false));
    expect(await page.evaluate(() => document.querySelector('[role="alert"]').textContent) === "",
           "seed 7 not started is refused");
    await page.click("#pause");
    await page.click('[data-control="Command1"]');
    await page.selectOption("#speed", { label: "As fast as possible" });
    await page.waitForFunction(() => !document.querySelector('[data-control="Option2"]').disabled);
    await page.click("#pause");
    await page.click('[data-control="Option2"]');
    // After the page's own tasks queued by the click (timers of the same delay run in order).
    await page.evaluate(() => new Promise((done) => setTimeout(done, 0)));
    const options = await page.evaluate(() => {
      const s = window.bruvik.state().controls;
      const shown = (n) => document.querySelector(`[data-control="${n}"]`).checked;
      return [s.Option1.value, s.Option2.value, shown("Option1"), shown("Option2")].join(" ");
    });
    expect(options === "false true false true", `after a click on Option2 the run, then the window: ${options}`);
    const saved = await savedRun(page, byDialog(page));
    const done = saved.experiment.actions.map((a) => `${a.do} ${a.control}`).join(", ");
    expect(done === "click Command1, option Option2" && await stateOf(page) === nativeAt(saved.file, saved.experiment.saved_at.ms),
           `a whole run and Option2 (${done}) replay to another state`);

    // What a screen reader meets: each method's counters by name and its statistics line, the
    // performance table's rows under its name, the strip's time by name and the paused state.
    const run = JSON.parse(await stateOf(page));
    const text = (name) => (run.controls[name].text ?? run.controls[name].caption).replace(/\s+/g, " ").trim();
    const main = await page.locator("main").ariaSnapshot();
    const table = await page.getByRole("group", { name: "Performance table", exact: true }).ariaSnapshot({ timeout: 5000 })
      .catch(() => "");
    const methods = [["PURE ALOHA", "Text1(0)", "COLLISIONS", "Text1(1)"], ["SLOTTED ALOHA", "Text2(0)", "COLLISIONS", "Text2(1)"],
                     ["1 PERSISTANT", "Text3(0)", "Collision", "Text14(0)"], ["NON PERSISTANT", "Text4(0)", "Collision", "Text14(1)"],
                     ["P PERSISTANT", "Text5(0)", "Collision", "Text14(2)"]];
    const unheard = methods.flatMap(([method, sent, collisions, collided], k) => [
      reads(main, "textbox", `${method} DATA SENT`, text(sent)) ? [] : [`${method} DATA SENT`],
      reads(main, "textbox", `${method} ${collisions}`, text(collided)) ? [] : [`${method} ${collisions}`],
      main.includes(text(`Label1(${k})`)) ? [] : [`the statistics line "${text(`Label1(${k})`)}"`],
      table.includes(text(`Label17(${k})`)) && reads(table, "textbox", `Data Sent/ Seconds of place ${k + 1}`, text(`Text8(${k})`))
        ? [] : [`row ${k + 1} of the performance table`],
    ].flat());
    if (!reads(main, "status", "Virtual time of the run", timeText(run.virtual_ms))) unheard.push("the time");
    if (!/^\s*- text: paused\b/m.test(main)) unheard.push("the paused state");
    expect(unheard.length === 0, `a screen reader misses ${unheard.join(", ")}`);
    expect(errors.length === 0, `a whole run: ${errors.join("; ")}`);
    await page.close();
  }

  // A lesson made in Save's dialog: the title and question typed come back, trimmed, where the
  // saved file or link is opened (the page, the program); one the file cannot hold is refused
  // in one sentence in the dialog, which stays open, and nothing is saved.
  {
    const { page, errors } = await open(url + link(JSON.stringify(blank), false));
    // A guided experiment opened from the list a first visit shows, which then makes way.
    const third = join(root, "experiments", lessons[2]);
    await page.click(`#guided li:nth-child(3) button`);
    await page.waitForFunction(() => document.getElementById("lesson-title").textContent !== "", null, { timeout: 5000 })
      .catch(() => undefined);
    expect(await stateOf(page) === nativeAt(third, JSON.parse(readFileSync(third, "utf8")).saved_at.ms) &&
           await page.evaluate(() => document.getElementById("start").hidden), `${lessons[2]} from the list: another run`);
    const made = [
      ["x".repeat(121), "Why?", "file", /^The title is 121 characters long, and a title holds at most 120\.$/],
      ["Two\tcolumns", "Why?", "link", /^The title must be one line without tabs or other control characters\.$/],
      ["Short", "q".repeat(2001), "file", /^The question is 2001 characters long, and a question holds at most 2000\.$/],
      ["  Who collides first?  ", "Look at the bus at 8.1 s.\nWhich frame began first? ", "file", null],
      ["Kollisjon på bussen – ÆØÅ 🚌", "Hvem sendte først?", "link", null],
    ];
    for (const [title, question, way, refused] of made) {
      await page.click("#save");
      await page.fill("#save-title", title);
      await page.fill("#save-question", question);
      const was = await page.evaluate(() => [location.hash, document.getElementById("lesson-title").textContent]);
      const downloads = [];
      const saving = page.waitForEvent("download", { timeout: refused ? 1000 : 10000 }).then((d) => downloads.push(d), () => undefined);
      await page.click(way === "file" ? "#save-file" : "#save-link");
      await saving;
      if (way === "link" && !refused) await page.waitForFunction((h) => location.hash !== h, was[0], { timeout: 5000 }).catch(() => undefined);
      const said = await page.evaluate(() => [document.getElementById("save-dialog").open, document.getElementById("save-refusal").textContent,
                                              location.hash, document.getElementById("lesson-title").textContent]);
      const what = `${way} ${JSON.stringify(title.slice(0, 30))}`;
      if (refused) {
        expect(said[0] && refused.test(said[1]) && oneSentence(said[1]) && downloads.length === 0 && said[2] === was[0] && said[3] === was[1],
               `${what}: ${JSON.stringify(said.map((t) => `${t}`.slice(0, 80)))}, ${downloads.length} saved`);
        await page.keyboard.press("Escape");
        continue;
      }
      // What the file or the link holds, as the program and a fresh page open it.
      let text;
      if (way === "file") {
        const file = join(await mkdtemp(join(tmpdir(), "bruvik-page-")), "lesson.bruvik");
        await downloads[0]?.saveAs(file);
        text = downloads.length === 1 ? readFileSync(file, "utf8") : "{}";
      } else {
        text = said[2].startsWith("#z=") ? inflateRawSync(Buffer.from(said[2].slice(3), "base64url")).toString("utf8") : "{}";
      }
      const file = join(await mkdtemp(join(tmpdir(), "bruvik-page-")), "lesson.bruvik");
      writeFileSync(file, text);
      let told = "";
      try {
        told = execFileSync(program, ["--headless", "--replay", file], { encoding: "utf8", stdio: ["ignore", "pipe", "pipe"] });
      } catch (e) {
        told = e.stderr;
      }
      const lesson = [title.trim(), question.trim()];
      const { page: elsewhere } = await open(url + (way === "link" ? said[2] : ""));
      if (way === "file") await giveFile(elsewhere, "open", "lesson.bruvik", text);
      await elsewhere.waitForFunction(() => document.getElementById("lesson-title").textContent !== "", null, { timeout: 5000 })
        .catch(() => undefined);
      await elsewhere.click("#save");
      const there = await elsewhere.evaluate(() => ["lesson-title", "lesson-note", "save-title", "save-question"].map((id) => {
        const el = document.getElementById(id);
        return "value" in el ? el.value : el.textContent;
      }));
      await elsewhere.close();
      const inFile = JSON.parse(text);
      expect(!said[0] && inFile.title === lesson[0] && inFile.note === lesson[1] &&
             told.startsWith(`lesson: ${lesson[0]}\nquestion: ${lesson[1]}\n`) && there.join("|") === [...lesson, ...lesson].join("|"),
             `${what}: the dialog ${said[0] ? "stayed open" : "closed"}; saved ${JSON.stringify([inFile.title, inFile.note])}, ` +
             `the program says ${JSON.stringify(told.slice(0, 80))}, a page opening it ${JSON.stringify(there)}`);
    }
    expect(errors.length === 0, `a lesson made in Save: ${errors.join("; ")}`);
    await page.close();
  }

  // The timeline pane: following, zooming, panning, a frame's story, a click to a moment.
  await checkPane(await context.newPage(), { expect, program, root, url });

  // The sweep's plots from the module's requests (terminal_cases writes them as the page's
  // module does, with the table of the same runs): every point and both ends of every bar where
  // the table's figures fall on the drawn axes; the methods side by side at each swept value.
  {
    const folder = await mkdtemp(join(tmpdir(), "bruvik-plots-"));
    const plots = ["plot-rate-value", "plot-rate-load"].map((name) => ({
      name,
      table: JSON.parse(execFileSync(join(dirname(program), "terminal_cases"), [`${name}.json`], { cwd: folder, encoding: "utf8" })),
      request: readFileSync(join(folder, `${name}.plot.json`), "utf8"),
    }));
    const { page, errors } = await open(url);
    await page.evaluate((requests) => window.bruvik.showPlots(requests), plots.map((p) => p.request));
    const drawn = await page.evaluate(() => [...document.querySelectorAll("#bruvik-plots svg")].map((svg) => {
      const at = (el) => ({ k: Number(el.dataset.series), i: Number(el.dataset.index) });
      return {
        area: Object.fromEntries(Object.entries(svg.querySelector(".plot").dataset).map(([key, v]) => [key, Number(v)])),
        points: [...svg.querySelectorAll(".point")].map((c) => ({ ...at(c), x: Number(c.getAttribute("cx")), y: Number(c.getAttribute("cy")) })),
        // A bar's line first: "M x y V y" up, "M x y H x" across.
        bars: [...svg.querySelectorAll(".bar")].map((b) => ({ ...at(b), dir: b.dataset.dir,
                                                           line: b.getAttribute("d").match(/^M([-\d.]+) ([-\d.]+)[VH]([-\d.]+)/).slice(1).map(Number) })),
      };
    }));
    plots.forEach(({ name, table }, j) => {
      const { area, points, bars } = drawn[j] ?? { area: {}, points: [], bars: [] };
      const X = (v) => area.left + ((v - area.xMin) / (area.xMax - area.xMin)) * (area.right - area.left);
      const Y = (v) => area.bottom - ((v - area.yMin) / (area.yMax - area.yMin)) * (area.bottom - area.top);
      const near = (a, b, within = 0.011) => Math.abs(a - b) <= within;
      const load = name.endsWith("load");
      const wrong = [];
      let wanted = 0;
      let wantedBars = 0;
      table.points.forEach((point, i) => {
        Object.values(point.summary).forEach((figures, k) => {
          const up = figures[load ? "throughput_on_bus" : "successful_per_virtual_second"];
          const across = load ? figures.offered_load : null;
          const drawnAt = points.find((p) => p.k === k && p.i === i);
          const barUp = bars.find((b) => b.k === k && b.i === i && b.dir === "y");
          const barAcross = bars.find((b) => b.k === k && b.i === i && b.dir === "x");
          if (up.mean === null || (load && across.mean === null)) {
            if (drawnAt !== undefined) wrong.push(`${k}/${i} drawn without a mean`);
            return;
          }
          wanted++;
          // Beside the others at its value, within a tenth of the spacing of the values.
          const x = load ? X(across.mean) : X(point.value);
          const okX = (px) => (load ? near(px, x) : Math.abs(px - x) <= 0.15 * (X(2) - X(1)));
          if (drawnAt === undefined || !okX(drawnAt.x) || !near(drawnAt.y, Y(up.mean))) {
            wrong.push(`${k}/${i} at ${JSON.stringify(drawnAt)}, not (${x.toFixed(2)}, ${Y(up.mean).toFixed(2)})`);
          }
          if (up.ci95_low !== null) {
            wantedBars++;
            const [bx, lo, hi] = barUp?.line ?? [];
            if (!(near(bx, drawnAt?.x) && near(lo, Y(up.ci95_low)) && near(hi, Y(up.ci95_high)))) {
              wrong.push(`${k}/${i} bar up ${barUp?.line}, not ${Y(up.ci95_low).toFixed(2)} to ${Y(up.ci95_high).toFixed(2)}`);
            }
          }
          if (load && across.ci95_low !== null) {
            wantedBars++;
            const [lo, by, hi] = barAcross?.line ?? [];
            if (!(near(by, drawnAt?.y) && near(lo, X(across.ci95_low)) && near(hi, X(across.ci95_high)))) {
              wrong.push(`${k}/${i} bar across ${barAcross?.line}, not ${X(across.ci95_low).toFixed(2)} to ${X(across.ci95_high).toFixed(2)}`);
            }
          }
        });
      });
      const outside = points.filter((p) => p.x < area.left || p.x > area.right || p.y < area.top || p.y > area.bottom);
      expect(wrong.length === 0 && outside.length === 0 && points.length === wanted && bars.length === wantedBars && wanted > 40,
             `${name}: ${points.length} points (${wanted} in the table), ${bars.length} bars (${wantedBars}), ` +
             `${outside.length} outside the axes; ${wrong.slice(0, 4).join("; ")}`);
    });
    // The PNG is the plot at the request's size.
    const [png] = await Promise.all([page.waitForEvent("download"),
                                     page.locator("#bruvik-plots figure").nth(1).getByRole("button", { name: "Download PNG" }).click()]);
    const bytes = readFileSync(await png.path());
    expect(bytes.subarray(1, 4).toString() === "PNG" && bytes.readUInt32BE(16) === 1200 && bytes.readUInt32BE(20) === 800,
           `the load plot's PNG ${png.suggestedFilename()} is ${bytes.readUInt32BE(16)}x${bytes.readUInt32BE(20)}`);
    expect(errors.length === 0, `the plots: ${errors.join("; ")}`);
    await page.close();
  }

  // Runs and sweeps in Web Workers: by script on the site, by the panel from the disk.
  await checkRuns({ expect, open, program, url, file: pathToFileURL(join(buildWeb, "bruvik.html")).href });

  // The one file from the disk: the whole window, real buttons and boxes, a running core.
  const { page, errors } = await open(pathToFileURL(join(buildWeb, "bruvik.html")).href);
  const drawn = await page.evaluate(() => ({
    controls: document.querySelectorAll("[data-control]").length,
    buttons: document.querySelectorAll("button[data-control]").length,
    boxes: document.querySelectorAll("input[type=text][data-control]").length,
    seconds: document.querySelector('[data-control="Text7"]')?.tagName,
    lessons: document.querySelectorAll("#lessons option").length,
    guided: document.getElementById("start").hidden ? [] :
      [...document.querySelectorAll("#guided li")].map((li) => [li.querySelector("button").textContent, li.querySelector("p").textContent]),
    caption: window.bruvik.state().caption,
    version: window.bruvik.version,
    // Pictures with no pixel painted (the computers, the lightning, the flags).
    blank: [...document.querySelectorAll('canvas[data-control]')].filter((c) =>
      !c.getContext("2d").getImageData(0, 0, c.width, c.height).data.some((v, i) => i % 4 === 3 && v > 0)).length,
  }));
  const project = readFileSync(join(root, "CMakeLists.txt"), "utf8").match(/project\(bruvik VERSION ([0-9.]+)/)[1];
  const guided = lessons.map((f) => JSON.parse(readFileSync(join(root, "experiments", f), "utf8"))).map((e) => [e.title, e.note]);
  expect(JSON.stringify(drawn.guided) === JSON.stringify(guided), `bruvik.html from the disk lists ${JSON.stringify(drawn.guided).slice(0, 200)}`);
  delete drawn.guided;
  expect(drawn.controls > 100 && drawn.buttons > 5 && drawn.boxes > 10 && drawn.seconds === "INPUT" &&
         drawn.lessons === 6 && drawn.caption.startsWith("Aloha Methods") && drawn.version === project && drawn.blank === 0,
         `bruvik.html from the disk: ${JSON.stringify(drawn)}`);
  expect(errors.length === 0, `bruvik.html: ${errors.join("; ")}`);

  // The window scales to the browser's: whole in a small one, larger in a large one.
  for (const [width, height] of [[800, 600], [1600, 1200]]) {
    await page.setViewportSize({ width, height });
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
    // Beside it, the guided experiments' column takes its share.
    const [box, beside] = await page.evaluate(() => [document.querySelector(".window").getBoundingClientRect().toJSON(),
      document.querySelector("main.beside") ? document.getElementById("start").getBoundingClientRect().width : 0]);
    expect(box.left >= 0 && box.right <= width && box.bottom <= height && box.width + beside > width * 0.8,
           `the window ${JSON.stringify(box)} in a browser of ${width}x${height}`);
  }
  await page.setViewportSize({ width: 1280, height: 900 });

  // Open: a guided experiment picked from the disk replaces the run, paused at its moment.
  const second = join(root, "experiments", lessons[1]);
  const secondAt = JSON.parse(readFileSync(second, "utf8")).saved_at.ms;
  await page.setInputFiles("#file", second);
  await page.waitForFunction(() => document.getElementById("lesson-title").textContent !== "");
  const dumped = execFileSync(program, ["--headless", "--replay", second, "--dump-at", `${secondAt}`], { encoding: "utf8" });
  expect(JSON.stringify(await page.evaluate(() => window.bruvik.state())) === JSON.stringify(JSON.parse(dumped)),
         `bruvik.html: ${lessons[1]} opened from the disk is another run`);
  await docRead(page, "bruvik.html", "data:image");

  // What assistive technology meets (axe): named boxes and buttons, one main heading. The
  // colours are the window's own, so their contrast is not asked. The runs panel open, with a
  // table of runs in it.
  await page.click("#runs-toggle");
  await page.fill("#runs-count", "3");
  await page.click("#runs-run");
  await page.waitForFunction(() => /done\.$/.test(document.getElementById("runs-status").textContent));
  await page.addScriptTag({ path: createRequire(import.meta.url).resolve("axe-core/axe.min.js") });
  const violations = await page.evaluate(async () =>
    (await window.axe.run(document, { rules: { "color-contrast": { enabled: false } } })).violations.map(
      (v) => `${v.id} (${v.nodes.map((n) => n.target.join(" ")).slice(0, 3).join(", ")})`));
  expect(violations.length === 0, `for readers: ${violations.join("; ")}`);
} finally {
  await browser.close();
  server.close();
}
console.log(`browser: the guided experiments from links, refused files and links, a run acted on and saved, ` +
            `the keyboard, a whole run, its options and a reader's view, a lesson made in Save, the timeline pane, ` +
            `the plots, the doc, runs and sweeps, bruvik.html from the disk: ${failures} wrong, ` +
            `${((Date.now() - started) / 1000).toFixed(1)} s`);
process.exit(failures ? 1 : 0);
