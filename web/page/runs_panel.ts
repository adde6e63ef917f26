// The "Runs and sweeps" panel: N runs from a seed, or a sweep of a setting with N runs per value,
// as the terminal's words; the figures per method as the terminal's JSON gives them, its CSV to
// download, and the sweep's plots.
import { byId, download } from "./dom";
import { showPlots } from "./plot";
import { Cancelled, type Answer, type Finished, type TerminalRuns } from "./runs";

const kMostRuns = 10000;

// The terminal's figures, in its order, with the decimals its text output shows.
const kMeasures: [key: string, title: string, decimals: number][] = [
  ["collision_pct", "collision percentage (collisions x 100 / data sent)", 3],
  ["successful_per_virtual_second", "successful sendings per virtual second", 3],
  ["table_value", "performance table value (as the window ranks them)", 3],
  ["duration_ms", "duration (virtual ms from the method's start to its end)", 1],
  ["offered_load", "offered load G (frames per frame time)", 4],
  ["frames_overlapped", "frames overlapped", 1],
  ["throughput_counted", "throughput counted S (frames per frame time)", 4],
  ["throughput_on_bus", "throughput on the bus S (frames per frame time)", 4],
];

interface Summary {
  n: number;
  mean: number | null;
  sd: number | null;
  ci95_low: number | null;
  ci95_high: number | null;
}
type MethodSummary = { finished: number } & Record<string, Summary | number>;
interface Point {
  value?: number;
  runs_finished?: number;
  summary: Record<string, MethodSummary>;
}
interface Report {
  sweep?: { name: string };
  seeds?: { count: number };
  points?: Point[];
  summary?: Record<string, MethodSummary>;
}

const kMethodNames: Record<string, string> = {
  pure: "Pure Aloha",
  slotted: "Slotted Aloha",
  "1per": "1 Persistant",
  nonper: "Non Persistant",
  pper: "P Persistant",
};

// A refusal as the panel says it: the program's sentence without its name.
const sentence = (err: string): string => err.replace(/^bruvik: /, "").trim();

export class RunsPanel {
  private readonly panel = byId<HTMLElement>("runs-panel");
  private readonly toggleButton = byId<HTMLButtonElement>("runs-toggle");
  private readonly form = byId<HTMLFormElement>("runs-form");
  private readonly count = byId<HTMLInputElement>("runs-count");
  private readonly seed = byId<HTMLInputElement>("runs-seed");
  private readonly sweep = byId<HTMLSelectElement>("runs-sweep");
  private readonly range = byId<HTMLElement>("runs-range");
  private readonly runButton = byId<HTMLButtonElement>("runs-run");
  private readonly cancelButton = byId<HTMLButtonElement>("runs-cancel");
  private readonly bar = byId<HTMLProgressElement>("runs-progress");
  private readonly status = byId<HTMLElement>("runs-status");
  private readonly refusal = byId<HTMLElement>("runs-refusal");
  private readonly results = byId<HTMLElement>("runs-results");
  private readonly measure = byId<HTMLSelectElement>("runs-measure");
  private readonly table = byId<HTMLTableElement>("runs-table");
  private csv = "";
  private csvName = "";
  private report: Report | null = null;

  constructor(private readonly runs: TerminalRuns) {
    this.toggleButton.addEventListener("click", () => this.toggle());
    this.sweep.addEventListener("change", () => {
      this.range.hidden = this.sweep.value === "";
    });
    this.form.addEventListener("submit", (e) => {
      e.preventDefault();
      void this.run();
    });
    this.cancelButton.addEventListener("click", () => this.runs.cancel());
    for (const [key, title] of kMeasures) this.measure.add(new Option(title, key));
    this.measure.addEventListener("change", () => this.drawTable());
    byId<HTMLButtonElement>("runs-csv").addEventListener("click", () => this.download());
  }

  open(): void {
    if (this.panel.hidden) this.toggle();
  }

  toggle(): void {
    this.panel.hidden = !this.panel.hidden;
    this.toggleButton.setAttribute("aria-pressed", `${!this.panel.hidden}`);
    if (this.panel.hidden) return;
    // Each worker compiles its module while the student fills in the fields.
    this.runs.warm();
    this.runs.prime();
    this.panel.scrollIntoView({ block: "nearest" });
    this.count.focus();
  }

  // The terminal's words for the fields, or the sentence that refuses them.
  private words(): string[] | string {
    const typed = this.count.value.trim();
    const n = /^\d+$/.test(typed) ? Number(typed) : NaN;
    if (!(n >= 1 && n <= kMostRuns)) {
      return `Runs per value must be a whole number from 1 to ${kMostRuns}, not "${this.count.value}".`;
    }
    const words = ["--seed", this.seed.value.trim(), "--runs", `${n}`];
    if (this.sweep.value !== "") {
      const step = this.stepText();
      words.push("--sweep", `${this.sweep.value}=${this.fromText()}..${this.toText()}${step === "1" ? "" : `:${step}`}`);
    }
    return words;
  }
  private fromText = (): string => byId<HTMLInputElement>("runs-from").value.trim();
  private toText = (): string => byId<HTMLInputElement>("runs-to").value.trim();
  private stepText = (): string => byId<HTMLInputElement>("runs-step").value.trim();

  private async run(): Promise<void> {
    // Enter in a field while the panel's runs are under way.
    if (this.runButton.disabled) return;
    const words = this.words();
    this.refusal.textContent = "";
    if (typeof words === "string") {
      this.refusal.textContent = words;
      return;
    }
    const csv = [...words, "--format", "csv"];
    const also = [[...words, "--format", "json"], words];
    if (this.sweep.value !== "") {
      // The module's plot drawer writes the plot's request as JSON whatever the name; the name
      // only has to be one the command line takes for a picture.
      also.push([...words, "--plot", "/tmp/value.svg", "--axis", "value"], [...words, "--plot", "/tmp/load.svg", "--axis", "load"]);
    }
    this.runButton.disabled = true;
    this.cancelButton.disabled = false;
    this.bar.value = 0;
    this.status.textContent = "Starting the workers…";
    let finished: Finished;
    // The status is read out as it changes: once a second at most, the bar at every stretch.
    let said = -Infinity;
    try {
      finished = await this.runs.run(csv, also, (p) => {
        this.bar.value = p.done / p.total;
        if (p.elapsedMs - said < 1000) return;
        said = p.elapsedMs;
        const left = (p.elapsedMs / p.done) * (p.total - p.done);
        this.status.textContent = `${p.done} of ${p.total} runs, about ${Math.ceil(left / 1000)} s left`;
      });
    } catch (e) {
      this.status.textContent = e instanceof Cancelled ? "Cancelled." : "";
      if (!(e instanceof Cancelled)) this.refusal.textContent = e instanceof Error ? e.message : String(e);
      return;
    } finally {
      this.runButton.disabled = false;
      this.cancelButton.disabled = true;
    }
    if (finished.answer.code !== 0) {
      this.status.textContent = "";
      this.refusal.textContent = sentence(finished.answer.err);
      return;
    }
    this.bar.value = 1;
    const jobs = finished.jobs === 0 ? 1 : finished.jobs;
    this.status.textContent = `${jobs} ${jobs === 1 ? "run" : "runs"} done.`;
    this.show(finished.answer, finished.also, words);
  }

  private show(csv: Answer, [json, text, ...plots]: Answer[], words: string[]): void {
    this.csv = csv.out;
    const sweep = this.sweep.value === "" ? "" : `-${this.sweep.value}${this.fromText()}-${this.toText()}`;
    this.csvName = `bruvik-seed${words[1]}-runs${words[3]}${sweep}.csv`.replace(/[^\w.-]+/g, "_");
    this.report = json.code === 0 ? (JSON.parse(json.out) as Report) : null;
    byId<HTMLElement>("runs-words").textContent = `The same in the terminal: bruvik --headless ${words.join(" ")} --format csv`;
    byId<HTMLElement>("runs-text").textContent = text.out;
    this.results.hidden = false;
    this.drawTable();
    // A single run has no figures over runs: its report is the text.
    byId<HTMLDetailsElement>("runs-details").open = this.table.tBodies.length === 0;
    const drawn = plots.filter((p) => p.code === 0 && p.plot !== undefined && p.plot !== "").map((p) => p.plot as string);
    // Runs without a sweep have no plot: those of an earlier sweep go.
    showPlots(drawn);
  }

  // One figure per method as the terminal's table gives it, for each value of a sweep.
  private drawTable(): void {
    const r = this.report;
    this.table.replaceChildren();
    if (r === null) return;
    const points: Point[] = r.points ?? (r.summary !== undefined ? [{ summary: r.summary }] : []);
    const sweep = r.sweep?.name;
    const [key, title, decimals] = kMeasures.find((m) => m[0] === this.measure.value) ?? kMeasures[0];
    const cell = (row: HTMLTableRowElement, tag: "td" | "th", text: string, numeric = false): HTMLTableCellElement => {
      const c = document.createElement(tag);
      c.textContent = text;
      if (numeric) c.className = "number";
      row.appendChild(c);
      return c;
    };
    this.table.createCaption().textContent = title;
    const head = this.table.createTHead().insertRow();
    for (const h of [...(sweep === undefined ? [] : [sweep]), "method", "finished", "mean", "sd", "95% CI low", "95% CI high"]) {
      cell(head, "th", h).scope = "col";
    }
    const body = this.table.createTBody();
    const number = (v: number | null | undefined): string => (v === null || v === undefined ? "–" : v.toFixed(decimals));
    for (const p of points) {
      const codes = Object.keys(p.summary);
      codes.forEach((code, i) => {
        const row = body.insertRow();
        if (sweep !== undefined && i === 0) {
          const c = cell(row, "th", `${p.value}`);
          c.scope = "rowgroup";
          c.rowSpan = codes.length;
        }
        const m = p.summary[code];
        const s = m[key] as Summary;
        cell(row, "th", kMethodNames[code] ?? code).scope = "row";
        cell(row, "td", `${m.finished} of ${r.seeds?.count ?? "?"}`, true);
        for (const v of [s.mean, s.sd, s.ci95_low, s.ci95_high]) cell(row, "td", number(v), true);
      });
    }
  }

  private download(): void {
    download(new Blob([this.csv], { type: "text/csv" }), this.csvName);
  }
}
