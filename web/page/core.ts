// The module's plain C API, typed: every text it returns is JSON or a sentence.

export interface Module {
  ccall(name: string, returns: "string" | "number" | null, types: string[], args: (string | number)[]): unknown;
}

declare global {
  // Defined by bruvik-page.js, loaded before this script.
  function createBruvik(): Promise<Module>;
}

export interface BuiltControl {
  name: string;
  kind: "label" | "text_box" | "command_button" | "option_button" | "frame" | "line" | "shape" | "image";
  container: number;
  box: [number, number, number, number];
  line: [number, number, number, number];
  back: string;
  fore: string;
  back_role: string; // "highlight", "base", ...: a system colour; "" when the window names it
  font_px: number;
  bold: boolean;
  tooltip: string;
  shape: number;
  picture: number;
  stretch: boolean;
  name_for_readers: string;
  reading: number;
}

export interface Built {
  caption: string;
  width: number;
  height: number;
  back: string;
  fore: string;
  controls: BuiltControl[];
  reading_order: number[];
}

export interface Change {
  i: number;
  text: string;
  visible: boolean;
  enabled: boolean;
  value: boolean;
  border: string;
  border_width: number;
}

export interface Strip {
  now: number;
  time: string;
  seed: string;
  paused: boolean;
  begun: boolean; // the user has acted on the run: its seed is fixed
  speed: number;
  furthest: number;
  message: string;
  title: string;
  note: string;
  wants_timeline: boolean; // the note speaks of the timeline: the pane opens with it
  failed: boolean;
  fault: string;
}

export interface Pictures {
  size: number;
  pictures: Record<string, string[]>;
  palette: Record<string, string>;
}

export interface PaneHeader {
  shown: string; // "2.4 s shown"
  following: boolean;
}

export class Core {
  constructor(private readonly m: Module) {}

  private text(name: string, types: string[] = [], args: (string | number)[] = []): string {
    return this.m.ccall(name, "string", types, args) as string;
  }
  private call(name: string, types: string[] = [], args: (string | number)[] = []): void {
    this.m.ccall(name, null, types, args);
  }

  fresh(seed: string): string {
    return this.text("bruvik_new", ["string"], [seed]);
  }
  frame(wallMs: number): void {
    this.call("bruvik_frame", ["number"], [wallMs]);
  }
  // True when the click asks for a fresh copy of the program (RESTART).
  click(name: string): boolean {
    return this.m.ccall("bruvik_click", "number", ["string"], [name]) === 1;
  }
  type(box: string, text: string, enabled: boolean): boolean {
    return this.m.ccall("bruvik_type", "number", ["string", "string", "number"], [box, text, enabled ? 1 : 0]) === 1;
  }
  secondsKey(code: number): boolean {
    return this.m.ccall("bruvik_seconds_key", "number", ["number"], [code]) === 1;
  }
  dataAmount(typed: string): string {
    return this.text("bruvik_data_amount", ["string"], [typed]);
  }
  togglePause(): void {
    this.call("bruvik_toggle_pause");
  }
  step(): void {
    this.call("bruvik_step");
  }
  back(): void {
    this.call("bruvik_back");
  }
  speed(index: number): void {
    this.call("bruvik_speed", ["number"], [index]);
  }
  goTo(ms: number): void {
    this.call("bruvik_go_to", ["number"], [ms]);
  }
  open(text: string, name: string): string {
    return this.text("bruvik_open", ["string", "string"], [text, name]);
  }
  // A title and question for the saved run: "" when taken, else the sentence why not.
  setLesson(title: string, question: string): string {
    return this.text("bruvik_set_lesson", ["string", "string"], [title, question]);
  }
  save(): string {
    return this.text("bruvik_save");
  }
  stateText(): string {
    return this.text("bruvik_state");
  }
  strip(): Strip {
    return JSON.parse(this.text("bruvik_strip")) as Strip;
  }
  speeds(): string[] {
    return JSON.parse(this.text("bruvik_speeds")) as string[];
  }
  built(): Built {
    return JSON.parse(this.text("bruvik_view_built")) as Built;
  }
  changes(): Change[] {
    return JSON.parse(this.text("bruvik_view_frame")) as Change[];
  }
  pictures(): Pictures {
    return JSON.parse(this.text("bruvik_pictures")) as Pictures;
  }
  // The pane's picture for a canvas of this size, "" while it would show what it showed last.
  pane(width: number, height: number, again: boolean): string {
    return this.text("bruvik_pane", ["number", "number", "number"], [width, height, again ? 1 : 0]);
  }
  paneHeader(): PaneHeader {
    return JSON.parse(this.text("bruvik_pane_header")) as PaneHeader;
  }
  paneZoom(steps: number, x: number): void {
    this.call("bruvik_pane_zoom", ["number", "number"], [steps, x]);
  }
  paneFollow(): void {
    this.call("bruvik_pane_follow");
  }
  // True when a drag may pan from here (paused or finished).
  panePress(): boolean {
    return this.m.ccall("bruvik_pane_press", "number", [], []) === 1;
  }
  paneDrag(dx: number): void {
    this.call("bruvik_pane_drag", ["number"], [dx]);
  }
  // The moment at x of the last picture; the right edge's for a negative x.
  paneMoment(x: number): number {
    return this.m.ccall("bruvik_pane_moment", "number", ["number"], [x]) as number;
  }
  paneStory(x: number, y: number): string {
    return this.text("bruvik_pane_story", ["number", "number"], [x, y]);
  }
}
