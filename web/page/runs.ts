// The terminal's repeated runs and sweeps, run in Web Workers: the page's module plans the words,
// one worker per core runs stretches of the planned runs in a module of its own, and the page's
// module prints the report from their outcomes (web/terminal_runs.cpp). The main thread only
// posts and takes, so the window goes on while a sweep runs.
import type { Module } from "./core";

// What the program answers: its exit code and what it printed.
export interface Answer {
  code: number;
  out: string;
  err: string;
  plot?: string; // the text written to --plot's file
}

export interface Progress {
  done: number;
  total: number;
  elapsedMs: number;
}

export interface Finished {
  answer: Answer;
  // The same runs printed for other words (another --format, a --plot), in the order asked.
  also: Answer[];
  jobs: number;
  seed: string;
}

export class Cancelled extends Error {
  constructor() {
    super("The runs were cancelled.");
  }
}

interface Planned {
  jobs: number;
  seed?: string;
  code?: number;
  out?: string;
  err?: string;
}

interface Done {
  from: number;
  to: number;
  outcomes: string;
  failed?: string; // the worker's module did not start
}

// The worker's whole program, made into its script as text: it may use nothing from this file.
// The module's script ran before it (createBruvik); `wasmUrl` is where the module's own script
// lies when its .wasm lies beside it, null when the wasm is inside.
function workerMain(wasmUrl: string | null): void {
  type WorkerModule = { ccall(name: string, returns: string, types: string[], args: (string | number)[]): unknown };
  const scope = self as unknown as {
    createBruvik(options: object): Promise<WorkerModule>;
    postMessage(message: unknown): void;
    onmessage: ((e: MessageEvent) => void) | null;
  };
  const ready = scope.createBruvik(wasmUrl === null ? {} : { locateFile: (file: string) => new URL(file, wasmUrl).href });
  scope.onmessage = (e: MessageEvent) => {
    const job = e.data as { words: string; seed: string; from: number; to: number };
    ready.then((m) => {
      const outcomes = m.ccall("bruvik_runs_run", "string", ["string", "string", "number", "number"],
                               [job.words, job.seed, job.from, job.to]) as string;
      scope.postMessage({ from: job.from, to: job.to, outcomes });
    }, (error: unknown) => scope.postMessage({ from: job.from, to: job.to, outcomes: "", failed: String(error) }));
  };
}

// The worker's script: the module's (inside bruvik.html, or loaded from beside the page) and
// the worker's own, as a Blob, so that the one file needs no file of its own for it.
function workerScript(): string {
  const site = document.querySelector<HTMLScriptElement>('script[src$="bruvik-page.js"]');
  if (site !== null) return `importScripts(${JSON.stringify(site.src)});\n(${workerMain.toString()})(${JSON.stringify(site.src)});`;
  const inline = document.getElementById("bruvik-module");
  if (inline?.textContent == null) throw new Error("the page has no module for its workers");
  return `${inline.textContent}\n;(${workerMain.toString()})(null);`;
}

// Stretches small enough for a steady progress bar, large enough that posting costs little.
const chunkOf = (jobs: number, workers: number): number => Math.max(1, Math.min(50, Math.round(jobs / (workers * 10))));

export class TerminalRuns {
  private workers: Worker[] = [];
  private scriptUrl: string | null = null;
  private cancelNow: (() => void) | null = null;
  private queue: Promise<unknown> = Promise.resolve();

  constructor(private readonly m: Module) {}

  private text(name: string, types: string[], args: (string | number)[]): string {
    return this.m.ccall(name, "string", types, args) as string;
  }

  // Starts the workers before the first runs are asked for: each compiles its module meanwhile.
  warm(count = navigator.hardwareConcurrency || 1): void {
    this.scriptUrl ??= URL.createObjectURL(new Blob([workerScript()], { type: "text/javascript" }));
    while (this.workers.length < Math.max(1, count)) this.workers.push(new Worker(this.scriptUrl));
  }

  // V8 compiles a wasm function when it is first called, on the thread that calls it: a few runs
  // cut short, through every step and report, while the student fills in the fields, so that
  // the first sweep's steps on the main thread cost the window no frames.
  prime(): void {
    if (this.primed) return;
    this.primed = true;
    const words = ["--seed", "1", "--runs", "2", "--sweep", "rate=1..2", "--max-time", "3000"];
    this.run(words, [[...words, "--format", "csv"], [...words, "--format", "json"]]).catch(() => undefined);
  }
  private primed = false;

  // Stops the runs under way and those waiting for them: the workers end, and the next runs
  // start fresh ones.
  cancel(): void {
    this.asked++;
    this.cancelNow?.();
  }
  private asked = 0; // runs asked for before the last Cancel are not run

  // The program's answer for the words, and for each of `also` over the same runs. Runs one after
  // another: the page's module holds one plan at a time.
  run(words: string[], also: string[][] = [], progress: (p: Progress) => void = () => undefined, seed = ""): Promise<Finished> {
    const ticket = this.asked;
    const next = this.queue.then(() => {
      if (ticket !== this.asked) throw new Cancelled();
      return this.runNow(words, also, progress, seed);
    });
    this.queue = next.catch(() => undefined);
    return next;
  }

  private async runNow(words: string[], also: string[][], progress: (p: Progress) => void, seedFor: string): Promise<Finished> {
    const said = JSON.stringify(words);
    const plan = JSON.parse(this.text("bruvik_runs_plan", ["string", "string"], [said, seedFor])) as Planned;
    const answerOf = (p: Planned): Answer => ({ code: p.code ?? 1, out: p.out ?? "", err: p.err ?? "" });
    if (plan.jobs === 0) {
      // Answered without workers (a single run, a refusal): so is each of the others.
      const others = also.map((w) => answerOf(JSON.parse(this.text("bruvik_runs_plan", ["string", "string"], [JSON.stringify(w), seedFor])) as Planned));
      return { answer: answerOf(plan), also: others, jobs: 0, seed: "" };
    }
    const seed = plan.seed ?? "";
    const total = plan.jobs;
    this.warm(Math.min(navigator.hardwareConcurrency || 1, total));
    const pool = this.workers.slice(0, Math.max(1, Math.min(this.workers.length, total)));
    const chunk = chunkOf(total, pool.length);
    const started = performance.now();
    await new Promise<void>((resolve, reject) => {
      let handed = 0;
      let done = 0;
      let stopped = false;
      const stop = (error: Error | null): void => {
        if (stopped) return;
        stopped = true;
        for (const w of pool) {
          w.onmessage = null;
          w.onerror = null;
        }
        this.cancelNow = null;
        if (error === null) {
          resolve();
          return;
        }
        // A worker in the middle of a run cannot be stopped otherwise; the others go with it.
        for (const w of this.workers) w.terminate();
        this.workers = [];
        reject(error);
      };
      this.cancelNow = () => stop(new Cancelled());
      const hand = (w: Worker): void => {
        if (handed >= total) return;
        const from = handed;
        handed = Math.min(total, handed + chunk);
        w.postMessage({ words: said, seed, from, to: handed });
      };
      for (const w of pool) {
        w.onmessage = (e: MessageEvent<Done>) => {
          const { from, to, outcomes, failed } = e.data;
          const refused = failed ?? (outcomes === "" ? "a worker planned other runs" : this.text("bruvik_runs_take", ["number", "number", "string"], [from, to, outcomes]));
          if (refused !== "") {
            stop(new Error(`The runs could not be taken: ${refused}.`));
            return;
          }
          done += to - from;
          progress({ done, total, elapsedMs: performance.now() - started });
          if (done === total) stop(null);
          else hand(w);
        };
        w.onerror = (e: ErrorEvent) => {
          e.preventDefault();
          stop(new Error(`A worker failed: ${e.message}`));
        };
        hand(w);
      }
    });
    const finish = (w: string[]): Answer => JSON.parse(this.text("bruvik_runs_finish", ["string", "string"], [JSON.stringify(w), seed])) as Answer;
    const answer = finish(words);
    const others: Answer[] = [];
    for (const w of also) {
      // Each report in a task of its own, so that the browser may draw a frame between them.
      await new Promise((next) => setTimeout(next, 0));
      others.push(finish(w));
    }
    return { answer, also: others, jobs: total, seed };
  }
}

// window.bruvik.runs: the terminal's words, as `bruvik --headless` takes them (the word --headless
// may be left out). Resolves to what the program prints on its standard output when it exits
// with 0; otherwise rejects with a RunsRefused whose message is what it printed on its standard
// error, without the line's end.
export class RunsRefused extends Error {
  constructor(readonly code: number, readonly stdout: string, readonly stderr: string) {
    super(stderr.replace(/\n$/, ""));
  }
}

export async function terminalWords(runs: TerminalRuns, words: string[]): Promise<string> {
  if (!Array.isArray(words) || words.some((w) => typeof w !== "string")) {
    throw new TypeError("bruvik.runs takes the terminal's words as a list of strings");
  }
  const { answer } = await runs.run(words);
  if (answer.code !== 0) throw new RunsRefused(answer.code, answer.out, answer.err);
  return answer.out;
}
