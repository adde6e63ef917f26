// The window drawn from the view model: one real element per control, placed in pixels in its
// container, and each display frame only what changed.
import type { Built, BuiltControl, Change, Core, Pictures } from "./core";

const kFont = 'Arial, "Liberation Sans", sans-serif';

interface Placed {
  control: BuiltControl;
  outer: HTMLElement | SVGSVGElement; // what is placed and shown or hidden
  input?: HTMLInputElement | HTMLButtonElement; // what the keyboard reaches
  caption?: HTMLElement; // where the text goes, when not the input itself
  shape?: HTMLElement;
  line?: SVGLineElement;
  selected?: boolean; // an option as the model last had it
  border?: string; // a shape's border as written (the style reads it back as rgb())
}

export interface WindowHooks {
  // A sentence for the strip's message line (a refused data amount).
  say(sentence: string): void;
  // After any user action on the window: draw its effect at once.
  acted(): void;
  // RESTART: a fresh copy of the program, beside this one.
  freshCopy(): void;
}

// The page's own colour for a system colour, as a desktop's palette gives the window its own:
// the classic highlight (navy) under black captions would be unreadable. The desktop's.
const kPalette: Record<string, string> = { highlight: "#308CC6" };

function back(c: BuiltControl): string {
  return kPalette[c.back_role] ?? c.back;
}

// A picture, line or shape: named for the tests by its window name, hidden from readers.
function drawn<K extends keyof HTMLElementTagNameMap>(tag: K, className: string, c: BuiltControl): HTMLElementTagNameMap[K] {
  const el = document.createElement(tag);
  el.className = className;
  el.setAttribute("data-control", c.name);
  el.setAttribute("aria-hidden", "true");
  return el;
}

function place(el: HTMLElement, c: BuiltControl): void {
  const [left, top, width, height] = c.box;
  el.style.left = `${left}px`;
  el.style.top = `${top}px`;
  el.style.width = `${width}px`;
  el.style.height = `${height}px`;
}

function font(el: HTMLElement, c: BuiltControl): void {
  el.style.fontFamily = kFont;
  el.style.fontSize = `${c.font_px}px`;
  el.style.fontWeight = c.bold ? "bold" : "normal";
  el.style.color = c.fore;
}

// A text written only when it differs: the same text written again still costs a layout.
export function setText(el: HTMLElement, text: string): void {
  if (el.textContent !== text) el.textContent = text;
}

function drawPicture(canvas: HTMLCanvasElement, rows: string[], pictures: Pictures): void {
  canvas.width = pictures.size;
  canvas.height = pictures.size;
  const g = canvas.getContext("2d");
  if (g === null) return;
  rows.forEach((row, y) => {
    for (let x = 0; x < row.length; x++) {
      const colour = pictures.palette[row.charAt(x)];
      if (colour === undefined) continue; // transparent
      g.fillStyle = colour;
      g.fillRect(x, y, 1, 1);
    }
  });
}

export class WindowPage {
  readonly root: HTMLElement;
  readonly width: number;
  readonly height: number;
  private readonly placed: Placed[] = [];
  // The data amount typed but not yet taken (Enter or leaving the box takes it).
  private pendingDataAmount = false;

  constructor(private readonly core: Core, built: Built, pictures: Pictures, private readonly hooks: WindowHooks) {
    this.width = built.width;
    this.height = built.height;
    this.root = document.createElement("div");
    this.root.className = "window";
    this.root.setAttribute("role", "group");
    this.root.setAttribute("aria-label", built.caption);
    const title = document.createElement("div");
    title.className = "caption";
    title.textContent = built.caption;
    const client = document.createElement("div");
    client.className = "client";
    client.style.width = `${built.width}px`;
    client.style.height = `${built.height}px`;
    client.style.background = built.back;
    client.style.color = built.fore;
    this.root.append(title, client);

    for (const c of built.controls) {
      const p = this.make(c, pictures);
      p.outer.setAttribute("data-kind", c.kind);
      // A control the window's keyboard never reaches is not reached here either.
      if (p.input !== undefined && c.reading < 0) p.input.tabIndex = -1;
      if (c.tooltip !== "") p.outer.setAttribute("title", c.tooltip);
      this.placed.push(p);
    }
    // Tab follows the reading order: each container's children in the order of the first
    // control each one leads to.
    const first = built.controls.map((c) => (c.reading < 0 ? Infinity : c.reading));
    for (let i = built.controls.length - 1; i >= 0; i--) {
      const up = built.controls[i].container;
      if (up >= 0) first[up] = Math.min(first[up], first[i]);
    }
    const order = built.controls.map((_, i) => i).sort((a, b) => first[a] - first[b] || a - b);
    for (const i of order) {
      const up = built.controls[i].container;
      const parent = up >= 0 ? this.placed[up].outer : client;
      parent.appendChild(this.placed[i].outer);
    }
  }

  private make(c: BuiltControl, pictures: Pictures): Placed {
    switch (c.kind) {
      case "text_box": {
        const input = document.createElement("input");
        input.type = "text";
        input.spellcheck = false;
        input.autocomplete = "off";
        input.className = "control text-box";
        place(input, c);
        font(input, c);
        input.style.background = back(c);
        input.setAttribute("data-control", c.name);
        if (c.name_for_readers !== "") input.setAttribute("aria-label", c.name_for_readers);
        this.wireBox(input, c);
        return { control: c, outer: input, input };
      }
      case "command_button": {
        const button = document.createElement("button");
        button.type = "button";
        button.className = "control button";
        place(button, c);
        font(button, c);
        button.style.background = back(c);
        button.setAttribute("data-control", c.name);
        if (c.name_for_readers !== "") button.setAttribute("aria-label", c.name_for_readers);
        button.addEventListener("click", () => {
          if (this.core.click(c.name)) this.hooks.freshCopy();
          this.hooks.acted();
        });
        return { control: c, outer: button, input: button };
      }
      case "option_button": {
        const label = document.createElement("label");
        label.className = "control option";
        place(label, c);
        font(label, c);
        label.style.background = back(c);
        const input = document.createElement("input");
        input.type = "radio";
        input.name = `group-${c.container}`;
        input.setAttribute("data-control", c.name);
        if (c.name_for_readers !== "") input.setAttribute("aria-label", c.name_for_readers);
        const caption = document.createElement("span");
        label.append(input, caption);
        input.addEventListener("click", (e) => {
          // The model decides what is selected. The browser undoes its own change only after
          // this handler, so the model's choice is put back once it has.
          e.preventDefault();
          this.core.click(c.name);
          this.hooks.acted();
          setTimeout(() => this.showOptions(), 0);
        });
        return { control: c, outer: label, input, caption };
      }
      case "frame": {
        const div = document.createElement("div");
        div.className = "control frame";
        div.setAttribute("role", "group");
        div.setAttribute("data-control", c.name);
        place(div, c);
        font(div, c);
        div.style.background = back(c);
        const caption = document.createElement("span");
        caption.className = "frame-caption";
        caption.style.background = back(c);
        div.appendChild(caption);
        return { control: c, outer: div, caption };
      }
      case "line": {
        const svg = document.createElementNS("http://www.w3.org/2000/svg", "svg");
        svg.setAttribute("class", "control line");
        svg.setAttribute("data-control", c.name);
        svg.setAttribute("aria-hidden", "true");
        svg.setAttribute("width", "1");
        svg.setAttribute("height", "1");
        const line = document.createElementNS("http://www.w3.org/2000/svg", "line");
        const [x1, y1, x2, y2] = c.line;
        line.setAttribute("x1", `${x1}`);
        line.setAttribute("y1", `${y1}`);
        line.setAttribute("x2", `${x2}`);
        line.setAttribute("y2", `${y2}`);
        svg.appendChild(line);
        return { control: c, outer: svg, line };
      }
      case "shape": {
        const div = drawn("div", "control shape-box", c);
        place(div, c);
        const side = Math.min(c.box[2], c.box[3]);
        const shape = document.createElement("div");
        shape.className = "shape";
        shape.style.width = `${side}px`;
        shape.style.height = `${side}px`;
        shape.style.left = `${(c.box[2] - side) / 2}px`;
        shape.style.top = `${(c.box[3] - side) / 2}px`;
        shape.style.borderRadius = c.shape === 1 ? "50%" : `${side * 0.18}px`;
        div.appendChild(shape);
        return { control: c, outer: div, shape };
      }
      case "image": {
        const canvas = drawn("canvas", "control image", c);
        const rows = pictures.pictures[`${c.picture}`];
        if (rows !== undefined) drawPicture(canvas, rows, pictures);
        place(canvas, c);
        if (!c.stretch) {
          canvas.style.width = `${pictures.size}px`;
          canvas.style.height = `${pictures.size}px`;
        }
        return { control: c, outer: canvas };
      }
      case "label":
      default: {
        const div = document.createElement("div");
        // A label too low for two lines never wraps: the wrapped part would be cut off, and
        // the browser's fonts are a pixel or two wider than the desktop's.
        div.className = c.box[3] < 2 * c.font_px ? "control label one-line" : "control label";
        div.setAttribute("data-control", c.name);
        place(div, c);
        font(div, c);
        div.style.background = back(c);
        return { control: c, outer: div, caption: div };
      }
    }
  }

  private wireBox(input: HTMLInputElement, c: BuiltControl): void {
    if (c.name === "Text6") {
      // The data amount takes effect on Enter or when the box is left, not at every key.
      const commit = (): void => {
        if (!this.pendingDataAmount) return;
        this.pendingDataAmount = false;
        const refusal = this.core.dataAmount(input.value);
        this.hooks.say(refusal);
        input.value = this.modelText(c.name);
        this.hooks.acted();
      };
      input.addEventListener("input", () => {
        this.pendingDataAmount = true;
      });
      input.addEventListener("keydown", (e) => {
        if (e.key === "Enter") {
          e.preventDefault();
          this.pendingDataAmount = true;
          commit();
        } else if (e.key === "Escape") {
          e.preventDefault();
          this.pendingDataAmount = false;
          input.value = this.modelText(c.name);
          this.hooks.say("");
        }
      });
      input.addEventListener("blur", commit);
      return;
    }
    if (c.name === "Text7") {
      input.addEventListener("keydown", (e) => {
        let code = -1;
        if (e.key === "Enter") code = 13;
        else if (e.key === "Escape") code = 27;
        else if (e.key.length === 1 && !e.ctrlKey && !e.metaKey && !e.altKey) code = e.key.charCodeAt(0);
        if (code >= 0 && this.core.secondsKey(code)) {
          e.preventDefault();
          this.hooks.acted();
        }
      });
    }
    input.addEventListener("input", () => {
      if (!this.core.type(c.name, input.value, !input.disabled)) {
        // Locked meanwhile: the box shows what the model holds.
        input.value = this.modelText(c.name);
        return;
      }
      this.hooks.acted();
    });
  }

  private modelText(name: string): string {
    const state = JSON.parse(this.core.stateText()) as { controls?: Record<string, { text?: string }> };
    return state.controls?.[name]?.text ?? "";
  }

  private showOptions(): void {
    for (const p of this.placed) {
      if (p.selected !== undefined) (p.input as HTMLInputElement).checked = p.selected;
    }
  }

  // One display frame's changes. A control is listed when anything of it changed, so each
  // property is written only when it differs: the browser lays out again after any write.
  apply(changes: Change[]): void {
    for (const ch of changes) {
      const p = this.placed[ch.i];
      if (p === undefined) continue;
      const c = p.control;
      const outer = p.outer.style;
      if (outer.visibility !== (ch.visible ? "" : "hidden")) outer.visibility = ch.visible ? "" : "hidden";
      if (p.input !== undefined && p.input.disabled === ch.enabled) p.input.disabled = !ch.enabled;
      if (p.outer.classList.contains("disabled") === ch.enabled) p.outer.classList.toggle("disabled", !ch.enabled);
      switch (c.kind) {
        case "text_box": {
          const input = p.input as HTMLInputElement;
          const editing = c.name === "Text6" && this.pendingDataAmount;
          if (!editing && input.value !== ch.text) input.value = ch.text;
          break;
        }
        case "command_button":
        case "label":
          setText(p.outer as HTMLElement, ch.text);
          break;
        case "option_button":
          p.selected = ch.value;
          if ((p.input as HTMLInputElement).checked !== ch.value) (p.input as HTMLInputElement).checked = ch.value;
          if (p.caption !== undefined) setText(p.caption, ch.text);
          break;
        case "frame":
          if (p.caption !== undefined) setText(p.caption, ch.text);
          {
            // The view's name says what the frame holds; its caption, when it has one, is shown.
            const label = c.name_for_readers !== "" ? c.name_for_readers : ch.text;
            if (p.outer.getAttribute("aria-label") !== label) p.outer.setAttribute("aria-label", label);
          }
          break;
        case "line": {
          const width = `${Math.max(ch.border_width, 1)}`;
          if (p.line?.getAttribute("stroke") !== ch.border) p.line?.setAttribute("stroke", ch.border);
          if (p.line?.getAttribute("stroke-width") !== width) p.line?.setAttribute("stroke-width", width);
          break;
        }
        case "shape": {
          const border = `${Math.max(ch.border_width, 1)}px solid ${ch.border}`;
          if (p.shape !== undefined && p.border !== border) {
            p.border = border;
            p.shape.style.border = border;
          }
          break;
        }
        default:
          break;
      }
    }
  }
}
