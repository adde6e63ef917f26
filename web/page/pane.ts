// The timeline pane: a header with the running method's figures, the span's length and Follow,
// over a canvas painted from the module's layout. The module keeps what is shown (the window's
// own span logic), so this only forwards the wheel, a pinch, a drag, hovering, clicks and Enter.
import type { Core } from "./core";
import { byId } from "./dom";
import { paintTimeline, type TimelinePicture } from "./timeline";

const kHeight = 260;
// A press that moves less than this is a click, as in the window.
const kClickPx = 4;
// The pane's help shows where the pointer rests on no frame, as the window's tooltip does.
const kRestMs = 700;
const kZoomPerStep = 1.25;

export interface PaneHooks {
  // Something was done to the run (a click went to a moment): everything is drawn again.
  acted(): void;
  // The pane was shown or hidden: the page lays itself out again.
  resized(): void;
}

interface Press {
  id: number;
  x: number;
  drags: boolean;
  pinched: boolean;
}

export class TimelinePane {
  private readonly pane = byId<HTMLElement>("timeline-pane");
  private readonly canvas = byId<HTMLCanvasElement>("timeline");
  private readonly figures = byId<HTMLElement>("figures");
  private readonly shown = byId<HTMLElement>("timeline-shown");
  private readonly follow = byId<HTMLButtonElement>("timeline-follow");
  private readonly toggleButton = byId<HTMLButtonElement>("timeline-toggle");
  private readonly help = byId<HTMLElement>("timeline-help");
  private readonly story = byId<HTMLElement>("timeline-story");
  private again = true; // paint even if the module would show the same
  private press: Press | null = null;
  private readonly touches = new Map<number, number>(); // pointer id -> x, while pressed
  private pinchApart = 0;
  private rest = 0;
  // The pane's width as last laid out: read in the frame, it would have the browser lay the page
  // out at once.
  private width = 0;
  private painted = { now: -1, length: 0, following: true };

  constructor(private readonly core: Core, private readonly hooks: PaneHooks) {
    this.follow.addEventListener("click", () => {
      this.core.paneFollow();
      this.changed();
    });
    new ResizeObserver(() => {
      this.width = this.pane.clientWidth;
      this.again = true;
    }).observe(this.pane);
    const c = this.canvas;
    c.addEventListener("wheel", (e) => this.wheel(e), { passive: false });
    c.addEventListener("pointerdown", (e) => this.down(e));
    c.addEventListener("pointermove", (e) => this.move(e));
    c.addEventListener("pointerup", (e) => this.up(e));
    c.addEventListener("pointercancel", (e) => this.lift(e));
    c.addEventListener("pointerleave", (e) => {
      if (e.pointerType === "mouse") this.tell(null);
    });
    c.addEventListener("keydown", (e) => {
      if (e.key !== "Enter") return;
      e.preventDefault();
      this.goTo(this.core.paneMoment(-1));
    });
  }

  toggle(): void {
    this.pane.hidden = !this.pane.hidden;
    this.toggleButton.setAttribute("aria-pressed", `${!this.pane.hidden}`);
    this.again = true;
    this.tell(null);
    this.hooks.resized();
    this.changed();
  }

  show(): void {
    if (this.pane.hidden) this.toggle();
  }

  // Once a display frame: painted again only when what it shows has changed.
  draw(now: number, paused: boolean): void {
    if (this.pane.hidden) return;
    // Following a running run, it moves on in steps of a hundredth of its span (a tenth of a
    // second at 1x): laid out and painted at every frame, it kept a third of a core busy.
    const p = this.painted;
    if (!this.again && !paused && p.following && now >= p.now && now - p.now < p.length / 100) return;
    if (this.width === 0) this.width = this.pane.clientWidth;
    const width = Math.max(300, Math.floor(this.width));
    // Laid out in CSS pixels, painted in the screen's: sharp on a dense screen.
    const dpr = window.devicePixelRatio || 1;
    const sized = this.canvas.width === Math.round(width * dpr) && this.canvas.height === Math.round(kHeight * dpr);
    const text = this.core.pane(width, kHeight, this.again || !sized);
    this.again = false;
    if (text === "") return;
    if (!sized) {
      this.canvas.width = Math.round(width * dpr);
      this.canvas.height = Math.round(kHeight * dpr);
      this.canvas.style.height = `${kHeight}px`;
    }
    this.canvas.getContext("2d")?.setTransform(dpr, 0, 0, dpr, 0, 0);
    const picture = JSON.parse(text) as TimelinePicture & { from: number; to: number };
    paintTimeline(this.canvas, picture);
    this.canvas.dataset.from = `${picture.from}`;
    this.canvas.dataset.to = `${picture.to}`;
    if (this.figures.textContent !== picture.figures) this.figures.textContent = picture.figures;
    const header = this.core.paneHeader();
    this.painted = { now, length: picture.to - picture.from, following: header.following };
    if (this.shown.textContent !== header.shown) this.shown.textContent = header.shown;
    this.follow.setAttribute("aria-pressed", `${header.following}`);
  }

  private changed(): void {
    this.again = true;
    const s = this.core.strip();
    this.draw(s.now, s.paused);
  }

  private wheel(e: WheelEvent): void {
    e.preventDefault();
    // A notch of a mouse's wheel: 100 pixels, 3 lines or a page, one step as in the window.
    const notch = e.deltaMode === WheelEvent.DOM_DELTA_LINE ? 3 : e.deltaMode === WheelEvent.DOM_DELTA_PAGE ? 1 : 100;
    const steps = -e.deltaY / notch;
    if (steps === 0) return;
    this.core.paneZoom(steps, e.offsetX);
    this.changed();
  }

  private down(e: PointerEvent): void {
    if (e.button !== 0) return;
    this.canvas.setPointerCapture(e.pointerId);
    this.touches.set(e.pointerId, e.offsetX);
    if (this.touches.size === 2) {
      // A second finger: a pinch, neither a drag nor a tap.
      const [a, b] = [...this.touches.values()];
      this.pinchApart = Math.abs(a - b);
      if (this.press !== null) this.press.pinched = true;
      return;
    }
    this.press = { id: e.pointerId, x: e.offsetX, drags: this.core.panePress(), pinched: false };
  }

  private move(e: PointerEvent): void {
    if (this.touches.has(e.pointerId)) this.touches.set(e.pointerId, e.offsetX);
    if (this.touches.size === 2) {
      const [a, b] = [...this.touches.values()];
      const apart = Math.abs(a - b);
      if (this.pinchApart > 0 && apart > 0) {
        this.core.paneZoom(Math.log(apart / this.pinchApart) / Math.log(kZoomPerStep), (a + b) / 2);
        this.changed();
      }
      this.pinchApart = apart;
      return;
    }
    if (this.press !== null && this.press.id === e.pointerId) {
      if (this.press.drags && !this.press.pinched) {
        this.core.paneDrag(e.offsetX - this.press.x);
        this.changed();
      }
      return;
    }
    if (e.pointerType === "mouse") this.hover(e.offsetX, e.offsetY);
  }

  private up(e: PointerEvent): void {
    const press = this.press;
    this.lift(e);
    if (press === null || press.id !== e.pointerId || press.pinched) return;
    if (Math.abs(e.offsetX - press.x) >= kClickPx) return;
    // A click or a tap goes to that moment; a tap tells the story of the frame there as well.
    if (e.pointerType !== "mouse") this.hover(e.offsetX, e.offsetY);
    this.goTo(this.core.paneMoment(press.x));
  }

  private lift(e: PointerEvent): void {
    this.touches.delete(e.pointerId);
    if (this.touches.size < 2) this.pinchApart = 0;
    if (this.press?.id === e.pointerId) this.press = null;
  }

  private goTo(ms: number): void {
    this.core.goTo(ms);
    this.again = true;
    this.hooks.acted();
  }

  // The story of the frame at (x, y), else the pane's help once the pointer rests there.
  private hover(x: number, y: number): void {
    window.clearTimeout(this.rest);
    const story = this.core.paneStory(x, y);
    if (story !== "") {
      this.tell(story, x, y);
      return;
    }
    this.tell(null);
    this.rest = window.setTimeout(() => this.tell(this.help.textContent ?? "", x, y), kRestMs);
  }

  private tell(text: string | null, x = 0, y = 0): void {
    if (text === null) {
      window.clearTimeout(this.rest);
      this.story.hidden = true;
      return;
    }
    if (this.story.textContent !== text) this.story.textContent = text;
    this.story.hidden = false;
    // Beside the pointer, inside the pane.
    const top = this.canvas.offsetTop + y + 18;
    const room = this.pane.clientWidth - this.story.offsetWidth - 4;
    this.story.style.left = `${Math.max(0, Math.min(x + 12, room))}px`;
    this.story.style.top = `${top}px`;
  }
}
