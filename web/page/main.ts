// The page: the core in WebAssembly paced by the browser's frames, the window drawn from its
// view, the strip under it, the timeline pane, files and links.
import { Core } from "./core";
import { experimentOf, linkOf } from "./link";
import { TimelinePane } from "./pane";
import { WindowPage } from "./window";

declare const BRUVIK_VERSION: string;

interface Lesson {
  file: string;
  text: string;
}

interface BruvikApi {
  ready: Promise<void>;
  state(): unknown;
  version: string;
}

declare global {
  interface Window {
    bruvik: BruvikApi;
  }
}

const byId = <T extends HTMLElement>(id: string): T => {
  const el = document.getElementById(id);
  if (el === null) throw new Error(`the page has no #${id}`);
  return el as T;
};

class Page {
  private readonly alert = byId<HTMLElement>("alert");
  private readonly message = byId<HTMLElement>("message");
  private readonly time = byId<HTMLElement>("time");
  private readonly seed = byId<HTMLElement>("seed");
  private readonly speed = byId<HTMLSelectElement>("speed");
  private readonly pause = byId<HTMLButtonElement>("pause");
  private readonly slider = byId<HTMLInputElement>("moment");
  private readonly lessonTitle = byId<HTMLElement>("lesson-title");
  private readonly lessonNote = byId<HTMLElement>("lesson-note");
  private readonly stage = byId<HTMLElement>("stage");
  private readonly window: WindowPage;
  private readonly timeline: TimelinePane;
  private said = "";
  private sliderWanted: number | null = null;

  constructor(private readonly core: Core, private readonly lessons: Lesson[]) {
    core.fresh("");
    this.window = new WindowPage(core, core.built(), core.pictures(), {
      say: (s) => this.say(s),
      acted: () => this.draw(),
      freshCopy: () => window.open(location.href.split("#")[0], "_blank", "noopener"),
    });
    this.stage.appendChild(this.window.root);
    this.timeline = new TimelinePane(core, { acted: () => this.draw(), resized: () => this.fit() });
    this.wireStrip();
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
    on("link", () => void this.makeLink());
    on("timeline-toggle", () => this.timeline.toggle());
    byId<HTMLInputElement>("file").addEventListener("change", (e) => {
      const input = e.target as HTMLInputElement;
      const file = input.files?.[0];
      input.value = "";
      if (file !== undefined) void file.text().then((text) => this.openText(text, file.name));
    });
    // Going to a moment replays the run: once per frame at most, however fast the slider moves.
    this.slider.addEventListener("input", () => {
      this.sliderWanted = Number(this.slider.value);
    });
    const lessons = byId<HTMLSelectElement>("lessons");
    for (const l of this.lessons) {
      const title = (JSON.parse(l.text) as { title?: string }).title ?? l.file;
      lessons.add(new Option(title, l.file));
    }
    lessons.addEventListener("change", () => {
      const lesson = this.lessons.find((l) => l.file === lessons.value);
      lessons.value = "";
      if (lesson !== undefined) this.openText(lesson.text, lesson.file);
    });
  }

  // The window scaled to what the viewport leaves beside the strip, the lines and the pane.
  private fit(): void {
    const main = this.stage.parentElement as HTMLElement;
    const others = main.getBoundingClientRect().height - this.stage.getBoundingClientRect().height;
    const w = this.window.width + 2;
    const h = this.window.height + 24;
    // Below 0.6 the window is unreadable: the page scrolls to the note and the pane instead.
    const k = Math.max(0.2, Math.min((window.innerWidth - 8) / w, Math.max(0.6, (window.innerHeight - others - 8) / h)));
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
    const text = this.core.save();
    const a = document.createElement("a");
    a.href = URL.createObjectURL(new Blob([text], { type: "application/json" }));
    a.download = `bruvik-seed${this.core.strip().seed}.bruvik`;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 1000);
  }

  private async makeLink(): Promise<void> {
    const time = this.core.strip().time;
    const link = await linkOf(this.core.save());
    history.replaceState(null, "", link);
    this.say(`The address now links to this moment (${time}).`);
    void navigator.clipboard?.writeText(location.href).catch(() => undefined);
  }

  // Everything on screen as the core has it now.
  draw(): void {
    this.window.apply(this.core.changes());
    const s = this.core.strip();
    this.time.textContent = s.time;
    this.seed.textContent = s.seed;
    this.speed.value = `${s.speed}`;
    this.pause.textContent = s.paused ? "Resume" : "Pause";
    this.slider.max = `${Math.max(s.furthest, s.now)}`;
    if (this.sliderWanted === null) this.slider.value = `${s.now}`;
    this.slider.setAttribute("aria-valuetext", s.time);
    const said = s.failed ? s.fault : s.message;
    if (said !== this.said || s.title !== this.lessonTitle.textContent || s.note !== this.lessonNote.textContent) {
      this.lessonTitle.textContent = s.title;
      this.lessonNote.textContent = s.note;
      if (said !== this.said) this.say(said);
      this.said = said;
      this.fit();
    }
    this.timeline.draw();
  }

  frame(wallMs: number): void {
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
  const core = new Core(await createBruvik());
  const page = new Page(core, lessonsOnPage());
  await page.openLink(location.hash);
  page.draw();
  const loop = (t: number): void => {
    page.frame(t);
    requestAnimationFrame(loop);
  };
  requestAnimationFrame(loop);
  window.bruvik.state = () => JSON.parse(core.stateText()) as unknown;
}

window.bruvik = {
  ready: Promise.resolve(),
  state: () => {
    throw new Error("BRUVIK is still loading: wait for bruvik.ready");
  },
  version: BRUVIK_VERSION,
};
window.bruvik.ready = boot().catch((e: unknown) => {
  const alert = document.getElementById("alert");
  if (alert !== null) alert.textContent = `BRUVIK could not start: ${String(e)}`;
  throw e;
});
