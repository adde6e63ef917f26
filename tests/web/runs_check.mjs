// The terminal's runs and sweeps in the page, against the native program: window.bruvik.runs
// prints what the program prints for the same words (refusals too), on the site; from the disk
// (bruvik.html, its workers started from the page itself) the panel's CSV of a sweep is the
// program's byte for byte, its table holds the program's figures, Cancel ends the workers and the
// next sweep is right, and what the panel cannot run is refused in one sentence.
//   checkRuns({ expect, open, program, url, file }): `open` opens an address in a new page of a
//   context that accepts downloads and resolves to { page, errors } once BRUVIK is ready;
//   `program` the native bruvik, `url` the served site, `file` bruvik.html's file:// address.
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { mkdtemp } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join } from "node:path";

const oneSentence = (s) => /^\S[^\n]*\.$/.test(s) && !/[.!?]\s+[A-Z]/.test(s);

export async function checkRuns({ expect, open, program, url, file }) {
  // What the program prints, on its standard output or (refused) its standard error.
  const native = (words) => {
    try {
      return { code: 0, text: execFileSync(program, ["--headless", ...words], { encoding: "utf8", stdio: ["ignore", "pipe", "pipe"] }) };
    } catch (e) {
      return { code: e.status, text: e.stderr };
    }
  };

  // Scripts: the words as the terminal takes them, --headless or not.
  {
    const { page, errors } = await open(url);
    const cases = [
      ["--seed", "3", "--runs", "20", "--sweep", "rate=1..9", "--format", "csv"],
      ["--headless", "--seed", "5", "--runs", "7", "--format", "json"],
      ["--seed", "11", "--runs", "4", "--sweep", "mtu=2..8:3"],
      ["--seed", "2", "--format", "csv"],
      ["--runs", "0"],
      ["--seed", "18446744073709551615", "--runs", "2"],
    ];
    for (const words of cases) {
      const page_ = await page.evaluate((w) => window.bruvik.runs(w).then((out) => ({ code: 0, text: out }),
                                                                        (e) => ({ code: e.code, text: `${e.message}\n` })), words);
      const want = native(words);
      expect(page_.code === want.code && page_.text === want.text,
             `bruvik.runs(${words.join(" ")}): exit ${page_.code}, ${JSON.stringify(page_.text.slice(0, 120))}; ` +
             `the program: exit ${want.code}, ${JSON.stringify(want.text.slice(0, 120))}`);
    }
    expect(errors.length === 0, `bruvik.runs: ${errors.join("; ")}`);
    await page.close();
  }

  // The panel in the one file from the disk.
  const { page, errors } = await open(file);
  const workers = [];
  page.on("worker", (w) => {
    const seen = { closed: false };
    w.on("close", () => { seen.closed = true; });
    workers.push(seen);
  });
  await page.click("#runs-toggle");
  const fill = async (fields) => {
    for (const [id, value] of Object.entries(fields)) {
      if (id === "runs-sweep") await page.selectOption(`#${id}`, value);
      else await page.fill(`#${id}`, value);
    }
  };
  const panelNow = () => page.evaluate(() => ({
    refusal: document.getElementById("runs-refusal").textContent,
    status: document.getElementById("runs-status").textContent,
    running: document.getElementById("runs-cancel").disabled === false,
  }));
  // Run, then the CSV downloaded, or null when the panel said why not.
  const sweep = async (fields) => {
    await fill(fields);
    await page.evaluate(() => { document.getElementById("runs-status").textContent = ""; });
    await page.click("#runs-run");
    await page.waitForFunction(() => /done\.$/.test(document.getElementById("runs-status").textContent) ||
                                      document.getElementById("runs-refusal").textContent !== "", null, { timeout: 60000 });
    if ((await panelNow()).refusal !== "") return null;
    const [download] = await Promise.all([page.waitForEvent("download"), page.click("#runs-csv")]);
    const saved = join(await mkdtemp(join(tmpdir(), "bruvik-runs-")), download.suggestedFilename());
    await download.saveAs(saved);
    return readFileSync(saved, "utf8");
  };

  // A sweep, and runs of one setting: the CSV, and the table of the figure chosen per value and
  // method as the program's JSON has it.
  const panelRuns = [
    [{ "runs-count": "20", "runs-seed": "41", "runs-sweep": "rate", "runs-from": "1", "runs-to": "9", "runs-step": "1" },
     ["--seed", "41", "--runs", "20", "--sweep", "rate=1..9"]],
    [{ "runs-count": "7", "runs-seed": "5", "runs-sweep": "" }, ["--seed", "5", "--runs", "7"]],
  ];
  for (const [fields, words] of panelRuns) {
    const csv = await sweep(fields);
    expect(csv === native([...words, "--format", "csv"]).text,
           `the panel's CSV of ${words.join(" ")}: ${JSON.stringify((csv ?? JSON.stringify(await panelNow())).slice(0, 200))}`);
    if (csv === null) continue;
    const report = JSON.parse(native([...words, "--format", "json"]).text);
    await page.selectOption("#runs-measure", "throughput_on_bus");
    const rows = await page.evaluate(() => [...document.querySelectorAll("#runs-table tbody tr")].map((tr) =>
      [...tr.querySelectorAll("td")].map((td) => td.textContent)));
    const want = (report.points ?? [report]).flatMap((p) => Object.values(p.summary).map((m) =>
      [`${m.finished} of ${words[3]}`, ...["mean", "sd", "ci95_low", "ci95_high"].map((k) => m.throughput_on_bus[k].toFixed(4))]));
    expect(rows.length > 0 && JSON.stringify(rows) === JSON.stringify(want),
           `the panel's table of throughput on the bus for ${words.join(" ")}: ${JSON.stringify(rows.slice(0, 2))}, ` +
           `the program's ${JSON.stringify(want.slice(0, 2))}`);
    // A sweep's two plots, a point for each figure of the table; none for runs without a sweep.
    const plotted = await page.evaluate(() => [...document.querySelectorAll("#bruvik-plots svg")]
      .filter((svg) => svg.checkVisibility()).map((svg) => svg.querySelectorAll(".point").length));
    const methods = (report.points ?? []).flatMap((p) => Object.values(p.summary));
    const points = report.points === undefined ? [] :
      [methods.filter((m) => m.successful_per_virtual_second.mean !== null).length,
       methods.filter((m) => m.throughput_on_bus.mean !== null && m.offered_load.mean !== null).length];
    expect(JSON.stringify(plotted) === JSON.stringify(points),
           `the panel's plots of ${words.join(" ")}: points ${JSON.stringify(plotted)}, the table's ${JSON.stringify(points)}`);
  }

  // Cancel amid a long sweep: every worker ends; a sweep after it is the program's.
  await fill({ "runs-count": "300", "runs-sweep": "rate", "runs-from": "1", "runs-to": "9" });
  await page.click("#runs-run");
  await page.waitForFunction(() => / of \d+ runs/.test(document.getElementById("runs-status").textContent));
  const before = workers.length;
  await page.click("#runs-cancel");
  await page.waitForTimeout(500);
  const cancelled = await panelNow();
  expect(before > 0 && workers.every((w) => w.closed) && cancelled.status === "Cancelled." && !cancelled.running,
         `Cancel: ${workers.filter((w) => !w.closed).length} of ${workers.length} workers still there, ${JSON.stringify(cancelled)}`);
  const again = await sweep({ "runs-count": "20", "runs-seed": "42", "runs-from": "2", "runs-to": "8", "runs-step": "3" });
  expect(again === native(["--seed", "42", "--runs", "20", "--sweep", "rate=2..8:3", "--format", "csv"]).text,
         `the sweep after Cancel: ${JSON.stringify((again ?? JSON.stringify(await panelNow())).slice(0, 200))}`);

  // What the panel refuses: one sentence, and nothing run.
  const refused = [
    [{ "runs-count": "0" }, /^Runs per value must be a whole number from 1 to 10000, not "0"\.$/],
    [{ "runs-count": "10001" }, /^Runs per value must be a whole number from 1 to 10000, not "10001"\.$/],
    [{ "runs-count": "5", "runs-from": "0", "runs-to": "9", "runs-step": "1" }, /^--sweep rate must be a whole number from 1 to 10, not "0"\.$/],
    [{ "runs-from": "1", "runs-to": "11" }, /^--sweep rate must be a whole number from 1 to 10, not "11"\.$/],
  ];
  for (const [fields, said] of refused) {
    const out = await sweep(fields);
    const now = await panelNow();
    expect(out === null && said.test(now.refusal) && oneSentence(now.refusal) && now.status === "",
           `the panel with ${JSON.stringify(fields)}: ${JSON.stringify(now)}`);
  }
  expect(errors.length === 0, `the runs panel: ${errors.join("; ")}`);
  await page.close();
}
