// The page: the core in WebAssembly paced by the browser's frames, the window drawn from its
// view, the strip under it, the timeline pane, files and links.
import { Core } from "./core";
import { wireDoc } from "./doc_dialog";
import { byId, download } from "./dom";
import { type Lesson, lessonOf, LessonList } from "./lesson_list";
import { experimentOf, kLinkLimit, linkOf } from "./link";
import { TimelinePane } from "./pane";
import { showPlots } from "./plot";
import { SaveDialog } from "./save_dialog";
import { TerminalRuns, terminalWords } from "./runs";
import { RunsPanel } from "./runs_panel";
import { setText, WindowPage } from "./window";

declare const BRUVIK_VERSION: string;

interface BruvikApi {
  ready: Promise<void>;
  state(): unknown;
  // Draws plot requests (the JSON that the module's plot drawer writes) as the runs panel does.
  showPlots(requests: string[]): void;
  // The terminal's words; see terminalWords in runs.ts.
  runs(words: string[]): Promise<string>;
  version: string;
}

declare global {
  interface Window {
    bruvik: BruvikApi;
  }
}

// The speed choices up to 1x (0.25x, 0.5x, 1x), and the frame interval the window keeps then,
// a little under 1/30 s so that a 60 Hz screen's every other frame is taken.
const kOneTimesIndex = 2;
const kSlowFrameMs = 30;
const kTimerFrameMs = 1000 / 30;
// The column beside the window for the lesson and the pane. They go there when the window is
// drawn at least as large as above them, or at this zoom.
const kSideWidth = 380;
const kLeastBesideZoom = 0.75;

class Page {
  private readonly alert = byId<HTMLElement>("alert");
  private readonly message = byId<HTMLElement>("message");
  private readonly strip = byId<HTMLElement>("strip");
  private readonly time = byId<HTMLElement>("time");
  private readonly runState = byId<HTMLElement>("run-state");
  private readonly seed = byId<HTMLInputElement>("seed");
  private readonly speed = byId<HTMLSelectElement>("speed");
  private readonly pause = byId<HTMLButtonElement>("pause");
  private readonly slider = byId<HTMLInputElement>("moment");
  private readonly lessonTitle = byId<HTMLElement>("lesson-title");
  private readonly lessonNote = byId<HTMLElement>("lesson-note");
  private readonly stage = byId<HTMLElement>("stage");
  private readonly window: WindowPage;
  private readonly timeline: TimelinePane;
  private readonly lessonList: LessonList;
  private readonly saveDialog: SaveDialog;
  private said = "";
  private sliderWanted: number | null = null;
  // A seed typed but not yet taken (Enter or leaving the box takes it).
  private seedTyped = false;
  private shownPaused: boolean | null = null;
  private sliderShown = "";

  constructor(private readonly core: Core, private readonly lessons: Lesson[]) {
    core.fresh("");
    this.window = new WindowPage(core, core.built(), core.pictures(), {
      say: (s) => this.say(s),
      acted: () => this.draw(),
      freshCopy: () => window.open(location.href.split("#")[0], "_blank", "noopener"),
    });
    this.stage.appendChild(this.window.root);
    this.timeline = new TimelinePane(core, { acted: () => this.draw(), resized: () => this.fit() });
    this.lessonList = new LessonList(lessons, (l) => this.openText(l.text, l.file));
    this.saveDialog = new SaveDialog(core, { file: () => this.saveFile(), link: () => this.makeLink(), done: () => this.draw() });
    wireDoc();
    this.wireStrip();
    this.wireSeed();
    this.wireKeys();
    window.addEventListener("resize", () => this.fit());
    window.addEventListener("hashchange", () => void this.openLink(location.hash));
    this.fit();
  }

  private wireStrip(): void {
    this.core.speeds().forEach((text, i) => this.speed.add(new Option(text, `${i}`)));
    this.speed.addEventListener("change", () => {
      this.core.speed(Number(this.speed.value));
      this.draw();
    });
    this.pause.addEventListener("click", () => {
      this.core.togglePause();
      this.draw();
    });
    const on = (id: string, act: () => void): void =>
      byId<HTMLButtonElement>(id).addEventListener("click", () => {
        act();
        this.draw();
      });
    on("step", () => this.core.step());
    on("back", () => this.core.back());
    on("save", () => this.save());
    on("open", () => byId<HTMLInputElement>("file").click());
    on("link", () => void this.makeLink().then((refusal) => refusal && this.say(refusal)));
    on("timeline-toggle", () => this.timeline.toggle());
    byId<HTMLInputElement>("file").addEventListener("change", (e) => {
      const input = e.target as HTMLInputElement;
      const file = input.files?.[0];
      input.value = "";
      if (file !== undefined) this.openFile(file);
    });
    // A file dropped anywhere on the page opens as Open would open it.
    document.addEventListener("dragover", (e) => {
      if (e.dataTransfer?.types.includes("Files") !== true) return;
      e.preventDefault();
      e.dataTransfer.dropEffect = "copy";
    });
    document.addEventListener("drop", (e) => {
      const file = e.dataTransfer?.files[0];
      if (file === undefined) return;
      e.preventDefault();
      this.openFile(file);
    });
    // Going to a moment replays the run: once per frame at most, however fast the slider moves.
    this.slider.addEventListener("input", () => {
      this.sliderWanted = Number(this.slider.value);
    });
    const lessons = byId<HTMLSelectElement>("lessons");
    for (const l of this.lessons) {
      const { title, note } = lessonOf(l);
      const option = new Option(title, l.file);
      option.title = note;
      lessons.add(option);
    }
    lessons.addEventListener("change", () => {
      const lesson = this.lessons.find((l) => l.file === lessons.value);
      lessons.value = "";
      if (lesson !== undefined) this.openText(lesson.text, lesson.file);
    });
  }

  // The seed is the run's until the user acts on it: another one then starts the run anew.
  private wireSeed(): void {
    this.seed.addEventListener("input", () => {
      this.seedTyped = true;
    });
    this.seed.addEventListener("keydown", (e) => {
      if (e.key === "Enter") {
        e.preventDefault();
        this.takeSeed();
      } else if (e.key === "Escape") {
        this.seedTyped = false;
        this.seed.value = this.core.strip().seed;
      }
    });
    this.seed.addEventListener("change", () => this.takeSeed());
  }

  private takeSeed(): void {
    if (!this.seedTyped) return;
    this.seedTyped = false;
    const was = this.core.strip();
    if (was.begun || this.seed.value.trim() === was.seed) {
      this.seed.value = was.seed;
      return;
    }
    const refusal = this.core.fresh(this.seed.value);
    if (refusal !== "") {
      this.seed.value = was.seed;
      this.say(refusal);
      return;
    }
    this.core.speed(was.speed);
    if (was.paused) this.core.togglePause();
    this.draw();
    this.say(`A fresh run with seed ${this.core.strip().seed}.`);
  }

  // The desktop's keys where a browser lets a page have them: the Pause key, Ctrl+S, Ctrl+O and
  // Alt with the underlined letter of a strip's button or field.
  private wireKeys(): void {
    document.addEventListener("keydown", (e) => {
      // A dialog open over the run has the keys.
      if (e.repeat || e.isComposing || document.querySelector("dialog[open]") !== null) return;
      const letter = /^[a-z]$/i.test(e.key) ? e.key.toLowerCase() : e.code.replace(/^Key/, "").toLowerCase();
      let done = true;
      if (e.key === "Pause" && !e.ctrlKey && !e.altKey && !e.metaKey) {
        this.core.togglePause();
      } else if ((e.ctrlKey || e.metaKey) && !e.altKey && !e.shiftKey && letter === "s") {
        this.save();
      } else if ((e.ctrlKey || e.metaKey) && !e.altKey && !e.shiftKey && letter === "o") {
        byId<HTMLInputElement>("file").click();
      } else if (e.altKey && !e.ctrlKey && !e.metaKey && !e.shiftKey) {
        done = this.mnemonic(letter);
      } else {
        done = false;
      }
      if (!done) return;
      e.preventDefault();
      this.draw();
    });
  }

  // As a desktop's mnemonic: a button is pressed, a field's control takes the focus.
  private mnemonic(letter: string): boolean {
    for (const u of this.strip.querySelectorAll("u")) {
      if (u.textContent?.toLowerCase() !== letter) continue;
      const owner = u.closest("button, label");
      if (owner instanceof HTMLButtonElement && !owner.disabled) {
        owner.focus();
        owner.click();
        return true;
      }
      if (owner instanceof HTMLLabelElement && owner.control !== null) {
        owner.control.focus();
        return true;
      }
    }
    return false;
  }

  // A caption with its mnemonic: the letter after "&" underlined.
  private static caption(el: HTMLElement, text: string): void {
    const at = text.indexOf("&");
    const u = document.createElement("u");
    u.textContent = text.charAt(at + 1);
    el.replaceChildren(text.slice(0, at), u, text.slice(at + 2));
  }

  // The window scaled to what the viewport leaves beside the strip, the lines and the pane.
  private fit(): void {
    const main = this.stage.parentElement as HTMLElement;
    const w = this.window.width + 2;
    const h = this.window.height + 24;
    const heightOf = (id: string): number => byId<HTMLElement>(id).getBoundingClientRect().height;
    // What stays under the window in either layout: the strip and its two lines.
    const under = heightOf("strip") + heightOf("alert") + heightOf("message") + 24;
    // A landscape screen with the pane or a lesson to show: they go beside the window, as the
    // desktop's go beside it on a laptop, when the window stays large enough to read.
    const side = !byId<HTMLElement>("timeline-pane").hidden || this.lessonNote.textContent !== "" || !byId<HTMLElement>("start").hidden;
    const besideK = Math.min((window.innerWidth - kSideWidth - 16) / w, (window.innerHeight - under) / h);
    main.classList.remove("beside");
    // The guided experiments' list may go below the fold: it leaves the window its size.
    const others = main.getBoundingClientRect().height - this.stage.getBoundingClientRect().height - heightOf("start");
    // Below 0.6 the window is unreadable: the page scrolls to the note and the pane instead.
    const stackedK = Math.max(0.2, Math.min((window.innerWidth - 8) / w, Math.max(0.6, (window.innerHeight - others - 8) / h)));
    const beside = side && besideK >= Math.min(stackedK, kLeastBesideZoom);
    main.classList.toggle("beside", beside);
    const k = beside ? besideK : stackedK;
    this.window.root.style.transform = `scale(${k})`;
    this.stage.style.width = `${w * k}px`;
    this.stage.style.height = `${h * k}px`;
  }

  say(sentence: string): void {
    this.message.textContent = sentence;
  }

  // A file or link that cannot be opened: one sentence, the run left as it was.
  refuse(sentence: string): void {
    this.alert.textContent = sentence;
    this.fit();
  }

  // `sentenceCase`: the name begins the refusal's sentence but not the message of opening.
  openText(text: string, name: string, sentenceCase = false): boolean {
    const refusal = this.core.open(text, name);
    if (refusal !== "") {
      this.refuse(sentenceCase ? refusal.charAt(0).toUpperCase() + refusal.slice(1) : refusal);
      return false;
    }
    this.alert.textContent = "";
    if (this.core.strip().wants_timeline) this.timeline.show();
    this.draw();
    this.fit();
    return true;
  }

  async openLink(hash: string): Promise<void> {
    if (hash === "" || hash === "#") return;
    const { text, refusal } = await experimentOf(hash);
    if (text === undefined) this.refuse(refusal ?? "This link cannot be opened.");
    else this.openText(text, "the link", true);
  }

  private save(): void {
    this.saveDialog.open();
  }

  private saveFile(): void {
    const text = this.core.save();
    download(new Blob([text], { type: "application/json" }), `bruvik-seed${this.core.strip().seed}.bruvik`);
  }

  private openFile(file: File): void {
    void file.text().then((text) => this.openText(text, file.name));
  }

  // "" when the address links to the run, else the sentence why not.
  private async makeLink(): Promise<string> {
    const time = this.core.strip().time;
    const link = await linkOf(this.core.save());
    if (link.length - 1 > kLinkLimit) return "This run is too long for a link (over 64 KiB): Save keeps it as a file.";
    history.replaceState(null, "", link);
    this.say(`The address now links to this moment (${time}).`);
    void navigator.clipboard?.writeText(location.href).catch(() => undefined);
    return "";
  }

  // Everything on screen as the core has it now.
  draw(): void {
    this.window.apply(this.core.changes());
    const s = this.core.strip();
    this.slow = s.speed <= kOneTimesIndex;
    // Each write, even of the same value, has the browser lay the page out again.
    setText(this.time, s.time);
    if (!this.seedTyped && this.seed.value !== s.seed) this.seed.value = s.seed;
    if (this.seed.readOnly !== s.begun) this.seed.readOnly = s.begun;
    if (this.speed.value !== `${s.speed}`) this.speed.value = `${s.speed}`;
    if (s.paused !== this.shownPaused) {
      // Only when it changes: a caption set anew is news to a screen reader.
      this.shownPaused = s.paused;
      Page.caption(this.pause, s.paused ? "&Resume" : "&Pause");
      this.pause.setAttribute("aria-keyshortcuts", s.paused ? "Alt+R Pause" : "Alt+P Pause");
      this.pause.title = s.paused
        ? "Let the clock run again (Alt+R or the Pause key)"
        : "Stop the clock; the window stays usable (Alt+P or the Pause key)";
      this.runState.textContent = s.paused ? "paused" : "";
    }
    // The slider moves with the time shown, in tenths of a second: at every frame, a running
    // clock would have the browser lay out and repaint it sixty times a second.
    const max = Math.max(s.furthest, s.now);
    const shown = `${s.time} ${Math.floor(max / 100)} ${this.sliderWanted === null}`;
    if (shown !== this.sliderShown) {
      this.sliderShown = shown;
      this.slider.max = `${max}`;
      if (this.sliderWanted === null) this.slider.value = `${s.now}`;
      this.slider.setAttribute("aria-valuetext", s.time);
    }
    const said = s.failed ? s.fault : s.message;
    if (said !== this.said || s.title !== this.lessonTitle.textContent || s.note !== this.lessonNote.textContent) {
      this.lessonTitle.textContent = s.title;
      this.lessonNote.textContent = s.note;
      if (said !== this.said) this.say(said);
      this.said = said;
      this.fit();
    }
    if (this.lessonList.update(s)) this.fit();
    this.timeline.draw(s.now, s.paused);
  }

  // Up to 1x the window is drawn 30 times a second, as the desktop's: a screen's 60 would
  // double the page's work for nothing a student sees. Faster, every frame the screen offers.
  private lastFrame = -Infinity;
  private slow = true;

  // Up to 1x a timer wakes the page, not the screen's frames: asked for every frame of a 60 Hz
  // screen only to skip every other, the browser kept some 3 % of a core busy for nothing.
  get timerPaced(): boolean {
    return this.slow && this.sliderWanted === null;
  }

  frame(wallMs: number): void {
    if (this.slow && this.sliderWanted === null && wallMs - this.lastFrame < kSlowFrameMs) return;
    this.lastFrame = wallMs;
    if (this.sliderWanted !== null) {
      this.core.goTo(this.sliderWanted);
      this.sliderWanted = null;
    }
    this.core.frame(wallMs);
    this.draw();
  }
}

function lessonsOnPage(): Lesson[] {
  const el = document.getElementById("bruvik-lessons");
  return el?.textContent ? (JSON.parse(el.textContent) as Lesson[]) : [];
}

async function boot(): Promise<void> {
  const module = await createBruvik();
  const core = new Core(module);
  const page = new Page(core, lessonsOnPage());
  await page.openLink(location.hash);
  page.draw();
  const loop = (t: number): void => {
    page.frame(t);
    if (page.timerPaced) {
      setTimeout(() => loop(performance.now()), Math.max(0, t + kTimerFrameMs - performance.now()));
    } else {
      requestAnimationFrame(loop);
    }
  };
  requestAnimationFrame(loop);
  window.bruvik.state = () => JSON.parse(core.stateText()) as unknown;
  const runs = new TerminalRuns(module);
  const panel = new RunsPanel(runs);
  window.bruvik.runs = (words) => terminalWords(runs, words);
  // The plots stand in the runs panel: drawn by a script, they are shown with it.
  window.bruvik.showPlots = (requests) => {
    panel.open();
    showPlots(requests);
  };
}

window.bruvik = {
  ready: Promise.resolve(),
  state: () => {
    throw new Error("BRUVIK is still loading: wait for bruvik.ready");
  },
  showPlots,
  runs: () => Promise.reject(new Error("BRUVIK is still loading: wait for bruvik.ready")),
  version: BRUVIK_VERSION,
};
window.bruvik.ready = boot().catch((e: unknown) => {
  const alert = document.getElementById("alert");
  if (alert !== null) alert.textContent = `BRUVIK could not start: ${String(e)}`;
  throw e;
});
