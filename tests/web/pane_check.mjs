// The page's timeline pane as a user meets it, on seed 7 paused at 20 s: the span follows the
// clock as the window's does, the wheel zooms, a drag pans only while paused, hovering a frame
// tells its story, a click on a frame's left edge goes to its sending (the state then is the
// program's for the saved run), Enter goes to the right edge, Follow comes back to the present,
// a pinch zooms, and a lesson whose note speaks of the timeline opens the pane.
//   checkPane(page, { expect, program, root, url }): `page` from a context that accepts
//   downloads; `program` the native bruvik, `url` the served site.
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { mkdtemp } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join } from "node:path";

const kGood = [31, 119, 180]; // a frame that met no other, as the layout's style paints it

// "00:19.4" for a moment, as the strip writes it.
const timeText = (ms) => {
  const tenths = Math.floor(ms / 100);
  return `${String(Math.floor(tenths / 600)).padStart(2, "0")}:${String(Math.floor(tenths / 10) % 60).padStart(2, "0")}.${tenths % 10}`;
};

const paneNow = (page) =>
  page.evaluate(() => {
    const canvas = document.getElementById("timeline");
    const story = document.getElementById("timeline-story");
    return {
      hidden: document.getElementById("timeline-pane").hidden,
      from: Number(canvas.dataset.from),
      to: Number(canvas.dataset.to),
      shown: document.getElementById("timeline-shown").textContent,
      following: document.getElementById("timeline-follow").getAttribute("aria-pressed") === "true",
      figures: document.getElementById("figures").textContent,
      story: story.hidden ? "" : story.textContent,
      time: document.getElementById("time").textContent,
    };
  });

const frameDrawn = (page) => page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));

// The left edge of a frame drawn whole in blue, in CSS pixels of the canvas: a user's target.
const goodFrameEdge = (page) =>
  page.evaluate((good) => {
    const canvas = document.getElementById("timeline");
    const k = canvas.width / canvas.clientWidth;
    const { data, width, height } = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height);
    const isGood = (x, y) => {
      const i = 4 * (y * width + x);
      return data[i] === good[0] && data[i + 1] === good[1] && data[i + 2] === good[2];
    };
    for (let y = 0; y < height; y += 2) {
      for (let x = Math.round(100 * k); x + 4 < width; x++) {
        // Two pixels to its left neither blue nor the bar's smoothed edge, three blue after it.
        if (!isGood(x - 1, y) && !isGood(x - 2, y) && isGood(x, y) && isGood(x + 1, y) && isGood(x + 3, y)) {
          return { x: x / k, y: y / k };
        }
      }
    }
    return null;
  }, kGood);

export async function checkPane(page, { expect, program, root, url }) {
  const errors = [];
  page.on("pageerror", (e) => errors.push(e.message));
  // Seed 7 started at once and saved at 20 s: opened, it is paused there.
  const lesson = JSON.parse(readFileSync(join(root, "experiments", "1-pure-aloha-vulnerable-period.bruvik"), "utf8"));
  const at20 = { ...lesson, title: "", note: "", saved_at: { ms: 20000, actions: 1 },
                 actions: [{ ms: 0, do: "click", control: "Command1" }] };
  await page.goto(url + "#e=" + Buffer.from(JSON.stringify(at20), "utf8").toString("base64url"));
  await page.waitForFunction(() => window.bruvik !== undefined);
  await page.evaluate(() => window.bruvik.ready);
  await page.setViewportSize({ width: 1280, height: 900 });

  // Shown, it follows the clock: three seconds up to the present, as the window's pane.
  let pane = await paneNow(page);
  expect(pane.hidden && pane.time === "00:20.0", `seed 7 at 20 s: ${JSON.stringify(pane)}`);
  await page.click("#timeline-toggle");
  await frameDrawn(page);
  pane = await paneNow(page);
  expect(!pane.hidden && pane.to - pane.from === 3000 && pane.to >= 20000 && pane.to < 20010 && pane.following &&
         pane.shown === "3.0 s shown" && pane.figures.startsWith("Pure Aloha: offered load G "),
         `the pane at 20 s: ${JSON.stringify(pane)}`);

  // Two notches of the wheel in: 1.92 s, still following.
  const box = await page.locator("#timeline").boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + 100);
  await page.mouse.wheel(0, -200);
  await frameDrawn(page);
  pane = await paneNow(page);
  expect(pane.to - pane.from === 1920 && pane.shown === "1.9 s shown" && pane.following,
         `two notches of the wheel in: ${JSON.stringify(pane)}`);

  // From and to as parts of the canvas's width: the page may put the pane beside the window.
  const drag = async (from, to) => {
    await page.mouse.move(box.x + from * box.width, box.y + 100);
    await page.mouse.down();
    await page.mouse.move(box.x + to * box.width, box.y + 100, { steps: 4 });
    await page.mouse.up();
    await frameDrawn(page);
    return paneNow(page);
  };
  // Running, a drag does nothing; paused, a drag to the right goes back and stops following.
  await page.click("#pause");
  pane = await drag(0.4, 0.65);
  expect(pane.following, `a drag while the run goes on: ${JSON.stringify(pane)}`);
  // Back to 20 s, paused (the same run written otherwise, so that the address changes), for
  // the same frames in sight every time.
  await page.evaluate((hash) => { location.hash = hash; },
                      "#e=" + Buffer.from(JSON.stringify(at20, null, 1), "utf8").toString("base64url"));
  await page.waitForFunction(() => document.getElementById("time").textContent === "00:20.0");
  await frameDrawn(page);
  const before = await paneNow(page);
  pane = await drag(0.25, 0.8);
  expect(!pane.following && pane.to < before.to - 400 && pane.to - pane.from === 1920,
         `a drag while paused, after ${JSON.stringify(before)}: ${JSON.stringify(pane)}`);
  const span = pane;

  // Hovering a frame tells its story; a place without one tells none.
  const edge = await goodFrameEdge(page);
  expect(edge !== null, "no frame drawn whole in blue to point at");
  if (edge === null) return;
  await page.mouse.move(box.x + 4, box.y + 4);
  pane = await paneNow(page);
  expect(pane.story === "", `a story where no frame is drawn: ${JSON.stringify(pane.story)}`);
  await page.mouse.move(box.x + edge.x + 2, box.y + edge.y);
  pane = await paneNow(page);
  const told = pane.story.match(/^Station (\d), Pure Aloha\nSent at (\d+\.\d{3}) s, off the bus at (\d+\.\d{3}) s\nOverlapped no other frame\nNot counted as a collision$/);
  const sent = told ? Math.round(Number(told[2]) * 1000) : NaN;
  expect(told !== null && sent <= span.to && Number(told[3]) * 1000 >= span.from,
         `the story of the frame at ${JSON.stringify(edge)} in ${span.from}..${span.to}: ${JSON.stringify(pane.story)}`);
  const tip = await page.evaluate(() => {
    const s = document.getElementById("timeline-story");
    return { role: s.getAttribute("role"), described: document.getElementById("timeline").getAttribute("aria-describedby") };
  });
  expect(tip.role === "tooltip" && tip.described.split(" ").includes("timeline-story"),
         `the story for readers: ${JSON.stringify(tip)}`);

  // A click on the frame's left edge goes to its sending; saved then, the program replays the
  // run to the state on screen.
  await page.mouse.click(box.x + edge.x, box.y + edge.y);
  await frameDrawn(page);
  const [download] = await Promise.all([page.waitForEvent("download"),
                                        page.click("#save").then(() => page.click("#save-file"))]);
  const saved = join(await mkdtemp(join(tmpdir(), "bruvik-pane-")), "at-a-frame.bruvik");
  await download.saveAs(saved);
  const ms = JSON.parse(readFileSync(saved, "utf8")).saved_at.ms;
  // A pixel's worth of time either way.
  const perPx = (span.to - span.from) / (box.width - 70);
  expect(Math.abs(ms - sent) <= 2 * perPx, `a click on the edge of the frame sent at ${sent} went to ${ms}`);
  let native;
  try {
    native = JSON.parse(execFileSync(program, ["--headless", "--replay", saved, "--dump-at", `${ms}`],
                                     { encoding: "utf8", stdio: ["ignore", "pipe", "pipe"] }));
  } catch (e) {
    native = String(e.stderr ?? e);
  }
  expect(JSON.stringify(await page.evaluate(() => window.bruvik.state())) === JSON.stringify(native),
         `after a click on the timeline at ${ms} ms the page's state is not the program's`);
  pane = await paneNow(page);
  expect(pane.from === span.from && pane.to === span.to, `going there moved the span: ${JSON.stringify(pane)}`);

  // Enter: the moment at the right edge of what is shown.
  await page.focus("#timeline");
  await page.keyboard.press("Enter");
  await frameDrawn(page);
  pane = await paneNow(page);
  expect(pane.time === timeText(span.to), `Enter in ${span.from}..${span.to} went to ${pane.time}`);

  // Follow: the present again, at the right edge.
  await page.click("#timeline-follow");
  await frameDrawn(page);
  pane = await paneNow(page);
  expect(pane.following && pane.to >= span.to && pane.to - pane.from === 1920, `after Follow: ${JSON.stringify(pane)}`);

  // Two fingers moved twice as far apart: half the span.
  const cdp = await page.context().newCDPSession(page);
  // Inside the canvas, however wide the page made it: outside, the browser would zoom the page.
  const middle = box.x + box.width / 2;
  const fingers = (apart) => [{ x: middle - apart / 2, y: box.y + 120, id: 1 },
                              { x: middle + apart / 2, y: box.y + 120, id: 2 }];
  await cdp.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: fingers(100) });
  for (let apart = 110; apart <= 200; apart += 10) {
    await cdp.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: fingers(apart) });
  }
  await cdp.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
  await frameDrawn(page);
  pane = await paneNow(page);
  expect(Math.abs(pane.to - pane.from - 960) <= 2 && pane.following && pane.time === timeText(span.to),
         `a pinch twice as wide: ${JSON.stringify(pane)}`);

  // A lesson whose note speaks of the timeline opens the pane; one whose note does not, does not.
  for (const [file, opens] of [["2-slotted-aloha.bruvik", false], ["1-pure-aloha-vulnerable-period.bruvik", true]]) {
    if (!(await paneNow(page)).hidden) await page.click("#timeline-toggle");
    await page.selectOption("#lessons", file);
    await page.waitForFunction((t) => document.getElementById("lesson-title").textContent === t,
                               JSON.parse(readFileSync(join(root, "experiments", file), "utf8")).title);
    pane = await paneNow(page);
    expect(pane.hidden === !opens, `${file} opened: the pane ${pane.hidden ? "hidden" : "shown"}`);
  }
  expect(errors.length === 0, `the pane: ${errors.join("; ")}`);
}
