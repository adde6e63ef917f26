// The page in headless Chromium, by hand: the main thread's load at 1x with the timeline shown,
// frame times at 50x and as fast as possible, the bytes the page loads gzipped, the time to the
// window drawn, and going back to a dozen moments of a whole run. Prints each figure beside its
// limit; it never fails on time. Then 450 runs (50 for each of 9 rates) in the page's workers,
// beside the native program on 2 threads, and the frames meanwhile; only those with "runs" last.
//   node bench/page_bench.mjs [SITE_DIR] [SECONDS_AT_1X] [runs]
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { gzipSync } from "node:zlib";
import { chromium } from "playwright-core";
import { serve } from "../web/page/serve.mjs";

const root = resolve(new URL("..", import.meta.url).pathname);
const site = resolve(process.argv[2] ?? join(root, "build", "web", "site"));
const busySeconds = Number(process.argv[3] ?? 30);
const onlyRuns = process.argv[4] === "runs";

const pct = (xs, p) => {
  const s = [...xs].sort((a, b) => a - b);
  return s.length === 0 ? NaN : s[Math.min(s.length - 1, Math.floor((p / 100) * s.length))];
};
const ms = (x) => `${x.toFixed(1)} ms`;
const row = (what, figure, limit, ok) => console.log(`${what.padEnd(66)} ${figure.padEnd(30)} limit ${limit}${ok ? "" : "  MISSED"}`);

// Seed 7 with nothing done yet, paused at 0: the run every figure is taken on.
const lesson = JSON.parse(readFileSync(join(root, "experiments", "1-pure-aloha-vulnerable-period.bruvik"), "utf8"));
const blank = { ...lesson, title: "", note: "", saved_at: { ms: 0, actions: 0 }, actions: [] };
const seed7 = "#e=" + Buffer.from(JSON.stringify(blank), "utf8").toString("base64url");

// Before the page's scripts: the moment bruvik.ready resolves, each frame callback timed (the
// page's frame work; up to 1x a timer wakes the page, faster the screen's frames), the main
// thread's long tasks, and, only while frames are measured, the screen's frames as a probe of
// its own sees them (how smoothly the browser could draw: a busy main thread delays them).
const instrument = () => {
  window.__frames = [];
  window.__vsync = [];
  window.__long = [];
  new PerformanceObserver((l) => window.__long.push(...l.getEntries().map((e) => e.duration))).observe({ type: "longtask" });
  const timed = (cb) => (...args) => {
    const t0 = performance.now();
    cb(...args);
    window.__frames.push([t0, performance.now() - t0]);
  };
  const raf = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (cb) => raf(timed(cb));
  const timeout = window.setTimeout.bind(window);
  window.setTimeout = (cb, ...rest) => timeout(typeof cb === "function" ? timed(cb) : cb, ...rest);
  window.__untimedTimeout = timeout; // for the bench's own waiting
  // Each probe a generation of its own: one stopped and started again between two frames must
  // not leave two running.
  let probe = 0;
  window.__probe = (on) => {
    const mine = ++probe;
    if (on) raf(function step(t) { if (probe !== mine) return; window.__vsync.push(t); raf(step); });
  };
  Object.defineProperty(window, "bruvik", {
    configurable: true,
    set(api) {
      let ready;
      Object.defineProperty(api, "ready", {
        configurable: true,
        get: () => ready,
        set: (p) => {
          ready = p;
          p.then(() => { window.__readyAt = performance.now(); }, () => undefined);
        },
      });
      Object.defineProperty(window, "bruvik", { value: api, writable: true, configurable: true });
    },
  });
};

const { server, url } = await serve(site, 0);
const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox"] });
const fresh = async () => {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
  await context.addInitScript(instrument);
  const page = await context.newPage();
  page.setDefaultTimeout(120000);
  return { context, page };
};
const startSeed7 = async (page) => {
  await page.goto(url + seed7);
  await page.evaluate(() => window.bruvik.ready);
  await page.click("#pause");
  await page.click('[data-control="Command1"]');
};
// Where the frames stand now, the screen's frames probed from here on.
const markFrames = (page) => page.evaluate(() => { window.__probe(true); return [window.__frames.length, window.__vsync.length]; });
// The frames since `from`: intervals between the screen's frames, and the page's work in each
// of its own; the probe stops.
const framesSince = async (page, [frames, vsync]) => {
  const [work, screen] = await page.evaluate(([n, m]) => {
    window.__probe(false);
    return [window.__frames.slice(n).map((f) => f[1]), window.__vsync.slice(m)];
  }, [frames, vsync]);
  return { intervals: screen.slice(1).map((t, i) => t - screen[i]), work };
};
const frameRow = (what, f) => {
  const p50 = pct(f.intervals, 50), p95 = pct(f.intervals, 95), max = Math.max(...f.intervals);
  row(`${what}: frame intervals p50 / p95 / max`, `${ms(p50)} / ${ms(p95)} / ${ms(max)}`, "20 ms", max < 20);
  const w50 = pct(f.work, 50), w95 = pct(f.work, 95), wmax = Math.max(...f.work);
  row(`${what}: the page's frame work p50 / p95 / max`, `${ms(w50)} / ${ms(w95)} / ${ms(wmax)}`, "20 ms", wmax < 20);
};

// The sweep of 450 runs: the native program's wall time on 2 threads, then the page's from Run to
// the table, with its workers started as the panel opened (and, cold, by window.bruvik.runs in a
// fresh page), and the page's frames while it ran.
const sweepWords = ["--seed", "1", "--runs", "50", "--sweep", "rate=1..9"];
async function runsBench() {
  const program = join(root, "build", "dev", "bruvik");
  const natives = [];
  for (let i = 0; i < 3; i++) {
    const t0 = performance.now();
    execFileSync(program, ["--headless", ...sweepWords, "--threads", "2", "--format", "csv"]);
    natives.push(performance.now() - t0);
  }
  row("450 runs: the native program, --threads 2, best of 3", ms(Math.min(...natives)), "-", true);
  {
    const { context, page } = await fresh();
    await page.goto(url);
    await page.evaluate(() => window.bruvik.ready);
    const cold = await page.evaluate(async (w) => {
      const t0 = performance.now();
      await window.bruvik.runs([...w, "--format", "csv"]);
      return performance.now() - t0;
    }, sweepWords);
    row("450 runs: window.bruvik.runs in a fresh page (workers started cold)", ms(cold), "3000 ms", cold < 3000);
    await context.close();
  }
  const { context, page } = await fresh();
  await page.goto(url);
  await page.evaluate(() => window.bruvik.ready);
  await page.click("#runs-toggle");
  await page.fill("#runs-count", "50");
  // The workers compile their modules while a student would fill in the fields; then the frames
  // of the page at rest, for what this machine's load alone does to them.
  await page.waitForTimeout(1500);
  const rest = await markFrames(page);
  await page.waitForTimeout(1000);
  frameRow("at rest before the runs, 1 s", await framesSince(page, rest));
  const times = [];
  for (let i = 0; i < 3; i++) {
    await page.evaluate(() => { window.__long.length = 0; });
    const n0 = await markFrames(page);
    const t0 = Date.now();
    await page.click("#runs-run");
    await page.waitForFunction(() => /done\.$/.test(document.getElementById("runs-status").textContent), null, { polling: 10 });
    times.push(Date.now() - t0);
    const long = await page.evaluate(() => window.__long.slice());
    // The first runs after the page opened, while the browser still compiles the modules' code
    // on its own threads, and the last, with all of it compiled.
    if (i !== 1) {
      const which = i === 0 ? "the first 450 runs" : "450 runs again";
      frameRow(`${which} in the panel`, await framesSince(page, n0));
      row(`${which} in the panel: the main thread's long tasks (over 50 ms)`, `${long.length}${long.length ? ` (max ${ms(Math.max(...long))})` : ""}`, "0", long.length === 0);
    }
    await page.evaluate(() => { document.getElementById("runs-status").textContent = ""; });
  }
  row("450 runs in the panel, Run to the table: best / worst of 3", `${ms(Math.min(...times))} / ${ms(Math.max(...times))}`, "3000 ms",
      Math.max(...times) < 3000);
  row("450 runs: the page's best against the native program's", `${(Math.min(...times) / Math.min(...natives)).toFixed(2)} x`, "-", true);
  await context.close();
}

try {
  console.log(`page bench: ${site}, load ${readFileSync("/proc/loadavg", "utf8").split(" ").slice(0, 3).join(" ")}`);
  if (onlyRuns) {
    await runsBench();
    await browser.close();
    server.close();
    process.exit(0);
  }

  // (c, d) Cold loads, each in a fresh context: what comes over the wire, and the time to ready.
  const loads = [];
  let bytes = 0, gzipped = 0, files = [];
  for (let i = 0; i < 5; i++) {
    const { context, page } = await fresh();
    const responses = [];
    page.on("response", (r) => responses.push(r));
    // Streaming compilation falls back with a warning when the .wasm comes with another type.
    page.on("console", (m) => { if (m.type() === "warning" || m.type() === "error") console.log(`  the page says: ${m.text()}`); });
    await page.goto(url);
    await page.waitForFunction(() => window.__readyAt !== undefined);
    loads.push(await page.evaluate(() => window.__readyAt));
    if (i === 0) {
      for (const r of responses) {
        if (r.url().startsWith("data:")) continue;
        const body = await r.body();
        const gz = gzipSync(body, { level: 9 }).length;
        bytes += body.length;
        gzipped += gz;
        files.push(`${r.url().slice(url.length) || "/"} ${(gz / 1024).toFixed(0)} kB`);
      }
    }
    await context.close();
  }
  row("loaded, gzip -9 each", `${(gzipped / 1e6).toFixed(3)} MB (${(bytes / 1e6).toFixed(3)} MB raw)`, "1.5 MB", gzipped < 1.5e6);
  console.log(`  ${files.join(", ")}`);
  loads.sort((a, b) => a - b);
  row("request to window ready, 5 cold loads: median / max", `${ms(pct(loads, 50))} / ${ms(loads[loads.length - 1])}`, "1000 ms",
      loads[loads.length - 1] < 1000);

  // (a) The main thread at 1x with the timeline shown, beside a page that only asks for frames
  // (what the browser costs at all, on this machine, under its load now).
  const busyOf = async (page, seconds) => {
    const cdp = await page.context().newCDPSession(page);
    await cdp.send("Performance.enable");
    const task = async () => (await cdp.send("Performance.getMetrics")).metrics.find((m) => m.name === "TaskDuration").value;
    const [b0, w0] = [await task(), Date.now()];
    await page.waitForTimeout(seconds * 1000);
    const [b1, w1] = [await task(), Date.now()];
    return (((b1 - b0) * 1000) / (w1 - w0)) * 100;
  };
  {
    const { context, page } = await fresh();
    await page.setContent("<p>frames</p><script>const loop = () => requestAnimationFrame(loop); loop();</script>");
    row("main thread busy: an empty page asking for every frame, 5 s", `${(await busyOf(page, 5)).toFixed(1)} % of a core`, "-", true);
    await context.close();
  }
  {
    const { context, page } = await fresh();
    await startSeed7(page);
    await page.click("#timeline-toggle");
    const n0 = await page.evaluate(() => [window.__frames.length, window.__vsync.length]);
    const busy = await busyOf(page, busySeconds);
    const f = await framesSince(page, n0);
    row(`main thread busy at 1x, timeline shown, ${busySeconds} s`, `${busy.toFixed(1)} % of a core (${f.work.length} frames)`,
        "5 %", busy < 5);
    await context.close();
  }

  // (b) Frame times at 50x for 4 s (200 s of the run's 250), then a fresh run as fast as possible
  // to its end; (e) going back over that whole run.
  {
    const { context, page } = await fresh();
    await startSeed7(page);
    await page.click("#timeline-toggle");
    await page.selectOption("#speed", { label: "50x" });
    const n0 = await markFrames(page);
    await page.waitForTimeout(4000);
    frameRow("50x, timeline shown, 4 s", await framesSince(page, n0));
    await context.close();
  }
  {
    const { context, page } = await fresh();
    await startSeed7(page);
    await page.click("#timeline-toggle");
    const n0 = await markFrames(page);
    const t0 = Date.now();
    await page.selectOption("#speed", { label: "As fast as possible" });
    await page.waitForFunction(() => !document.querySelector('[data-control="Option2"]').disabled, null, { polling: 50 });
    const whole = (Date.now() - t0) / 1000;
    frameRow(`as fast as possible to the end (${whole.toFixed(1)} s), timeline shown`, await framesSince(page, n0));

    // A dozen moments spread over the run, in an order that jumps both ways.
    await page.click("#pause");
    const end = await page.evaluate(() => Number(document.getElementById("moment").max));
    const order = [6, 1, 11, 3, 9, 0, 7, 4, 10, 2, 8, 5];
    for (const shown of [true, false]) {
      if (!shown) await page.click("#timeline-toggle");
      const times = [];
      for (const i of order) {
        const at = Math.round(((i + 0.5) / order.length) * end);
        const [took, time] = await page.evaluate(async (at) => {
          const slider = document.getElementById("moment");
          const n = window.__frames.length;
          slider.value = `${at}`;
          slider.dispatchEvent(new Event("input"));
          // The page goes there in its next frame's callback.
          while (window.__frames.length <= n) await new Promise((r) => window.__untimedTimeout(r, 5));
          return [Math.max(...window.__frames.slice(n).map((f) => f[1])), document.getElementById("time").textContent];
        }, at);
        const tenths = Math.floor(at / 100);
        const want = `${String(Math.floor(tenths / 600)).padStart(2, "0")}:${String(Math.floor(tenths / 10) % 60).padStart(2, "0")}.${tenths % 10}`;
        if (time !== want) console.log(`  went to ${at} ms, the strip shows ${time}`);
        times.push(took);
      }
      row(`going to 12 moments of ${(end / 1000).toFixed(0)} s, timeline ${shown ? "shown" : "hidden"}: median / max`,
          `${ms(pct(times, 50))} / ${ms(Math.max(...times))}`, "50 ms", Math.max(...times) < 50);
    }
    await context.close();
  }
  await runsBench();
} finally {
  await browser.close();
  server.close();
}
