// The page's module against the native program: the same run gives the same window state (the
// JSON of --dump-at), a file is opened or refused as the terminal does, and the timeline's
// picture comes out whole. Usage: node page_module_check.mjs MODULE PROGRAM ROOT
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";

const [modulePath, program, root] = process.argv.slice(2);
const createBruvik = createRequire(import.meta.url)(modulePath);
const m = await createBruvik();
const text = (name, types, args) => m.ccall(name, "string", types, args);
const native = (...args) => {
  try {
    return execFileSync(program, args, { encoding: "utf8", stdio: ["ignore", "pipe", "pipe"] });
  } catch (e) {
    return e.stderr;
  }
};

let failures = 0;
const expect = (ok, what) => {
  if (!ok) {
    console.error(`page module: ${what}`);
    failures++;
  }
};

// name, what the page does, the native command that must print the same state.
const lesson = `${root}/experiments/1-pure-aloha-vulnerable-period.bruvik`;
const runs = [
  ["seed 7 started at once, at 30 s", () => {
    text("bruvik_new", ["string"], ["7"]);
    m.ccall("bruvik_click", null, ["string"], ["Command1"]);
    m.ccall("bruvik_advance_to", null, ["number"], [30000]);
  }, ["--headless", "--dump-at", "30000", "--start", "--seed", "7"]],
  ["the largest seed, typed with blanks, started at once, at 3 s", () => {
    text("bruvik_new", ["string"], [" 18446744073709551615 "]);
    m.ccall("bruvik_click", null, ["string"], ["Command1"]);
    m.ccall("bruvik_advance_to", null, ["number"], [3000]);
  }, ["--headless", "--dump-at", "3000", "--start", "--seed", "18446744073709551615"]],
  ["seed 12 gone back from 61 s to 20.5 s", () => {
    text("bruvik_new", ["string"], ["12"]);
    m.ccall("bruvik_click", null, ["string"], ["Command1"]);
    m.ccall("bruvik_advance_to", null, ["number"], [61000]);
    m.ccall("bruvik_go_to", null, ["number"], [20500]);
  }, ["--headless", "--dump-at", "20500", "--start", "--seed", "12"]],
  ["lesson 1 opened and run on to 12 s", () => {
    text("bruvik_new", ["string"], ["3"]);
    const refused = text("bruvik_open", ["string", "string"], [readFileSync(lesson, "utf8"), "This file"]);
    expect(refused === "", `lesson 1 refused: ${refused}`);
    m.ccall("bruvik_advance_to", null, ["number"], [12000]);
  }, ["--headless", "--replay", lesson, "--dump-at", "12000"]],
];
for (const [name, act, args] of runs) {
  act();
  const page = text("bruvik_state", [], []);
  expect(page === native(...args), `${name}: the state differs from the program's`);
}

// A file the program refuses is refused in the same sentence, the run left as it was.
const before = text("bruvik_state", [], []);
const newer = '{"format": "bruvik-experiment", "version": 99}';
const sentence = text("bruvik_open", ["string", "string"], [newer, "This file"]);
expect(sentence === "This file is not a BRUVIK experiment: version: 99 is newer than this BRUVIK reads (2).",
       `refusal: ${sentence}`);
expect(text("bruvik_state", [], []) === before, "a refused file changed the run");

// Saved and opened again, the run is where it was.
const saved = text("bruvik_save", [], []);
text("bruvik_new", ["string"], ["99"]);
expect(text("bruvik_open", ["string", "string"], [saved, "x"]) === "", "a saved run does not open");
expect(text("bruvik_state", [], []) === before, "a saved run opens elsewhere");

// The timeline: primitives, the boxes of the frames drawn, the running method's figures.
const picture = JSON.parse(m.ccall("bruvik_timeline", "string",
                                   ["number", "number", "number", "number", "number"],
                                   [9000, 12000, 12000, 900, 260]));
expect(picture.items.some((p) => p.k === "text" && p.t === "Station 9"), "no row names");
expect(picture.boxes.length > 3, `${picture.boxes.length} frames drawn`);
expect(picture.figures.startsWith("Pure Aloha: offered load G "), `figures: ${picture.figures}`);
const strip = JSON.parse(text("bruvik_strip", [], []));
expect(strip.time === "00:12.0" && strip.title !== "", `strip: ${JSON.stringify(strip)}`);

// The view: every control once as built, every one in the first frame, then only what changed;
// a box's text as the state has it.
text("bruvik_new", ["string"], ["7"]);
const built = JSON.parse(text("bruvik_view_built", [], []));
const first = JSON.parse(text("bruvik_view_frame", [], []));
expect(built.controls.length > 100 && first.length === built.controls.length,
       `${built.controls.length} controls built, ${first.length} in the first frame`);
m.ccall("bruvik_click", null, ["string"], ["Command1"]);
m.ccall("bruvik_advance_to", null, ["number"], [5000]);
const later = JSON.parse(text("bruvik_view_frame", [], []));
const seconds = built.controls.findIndex((c) => c.name === "Text7");
const state = JSON.parse(text("bruvik_state", [], []));
const shown = later.find((c) => c.i === seconds);
expect(later.length < built.controls.length && shown && shown.text === state.controls.Text7.text,
       `after 5 s: ${later.length} changed, the seconds box ${JSON.stringify(shown)}`);

// A run that failed in a worker: the program's sentence for it, naming its seed, and nothing printed.
{
  const words = JSON.stringify(["--seed", "10", "--runs", "4"]);
  const plan = JSON.parse(text("bruvik_runs_plan", ["string", "string"], [words, ""]));
  const outcomes = JSON.parse(m.ccall("bruvik_runs_run", "string", ["string", "string", "number", "number"], [words, plan.seed, 0, 4]));
  outcomes[2][5] = "Run-time error '11': Division by zero"; // the outcome's error
  const taken = m.ccall("bruvik_runs_take", "string", ["number", "number", "string"], [0, 4, JSON.stringify(outcomes)]);
  const done = JSON.parse(text("bruvik_runs_finish", ["string", "string"], [words, plan.seed]));
  expect(plan.jobs === 4 && taken === "" && done.code === 1 && done.out === "" &&
         done.err === "bruvik: the run with seed 12 failed: Run-time error '11': Division by zero\n",
         `a failed run among the workers' outcomes: ${JSON.stringify(done)}`);
}

console.log(`page module: ${runs.length} runs against the program, ${failures} wrong`);
process.exit(failures ? 1 : 0);
