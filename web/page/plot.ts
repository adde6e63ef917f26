// The sweep plots of the runs panel, drawn as SVG from the PlotRequest that the terminal's own
// code builds (headless/plot.h), in the look of the desktop's Qt Charts plot: its colours,
// markers, axis ranges and ticks; PNG by painting the same SVG on a canvas.
// Drawn here, not by a charting library: uPlot and Chart.js draw neither bars both ways nor a
// label at a single point without plugins, and the request already says what to draw.
import { download } from "./dom";

export interface PlotSeries {
  name: string;
  // One entry per x value; null where the method ended in no run.
  mean: (number | null)[];
  low: (number | null)[];
  high: (number | null)[];
  // Where each point stands across, when it is not at the request's x (the load plot).
  x_mean: (number | null)[];
  x_low: (number | null)[];
  x_high: (number | null)[];
  labels: string[];
}

export interface PlotCurve {
  name: string;
  colour: number;
  x: number[];
  y: number[];
}

export interface PlotRequest {
  title: string;
  x_title: string;
  y_title: string;
  caption: string;
  x: number[];
  series: PlotSeries[];
  curves: PlotCurve[];
  notes: string[];
  svg: boolean;
  width: number;
  height: number;
}

// The width of a text in pixels at a font size, bold or not.
export type Measure = (text: string, px: number, bold: boolean) => number;

const kColours = ["#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd"];
const kFont = "'Liberation Sans', Arial, Helvetica, sans-serif";
const kInk = "#404040";
// The desktop's sizes in points, as pixels at 96 dpi.
const px = (points: number): number => (points * 96) / 72;
const kTitlePx = px(14);
const kAxisTitlePx = px(11);
const kTextPx = px(10);
const kLabelPx = 12;
const kCaptionHeight = 70;

// Each plot's clip path has its own id: the page holds several plots in one document.
let plotsDrawn = 0;

const colour = (k: number): string => kColours[k % kColours.length];

interface Axis {
  min: number;
  max: number;
  ticks: number[];
}

// Heckbert's nice numbers, as Qt's applyNiceNumbers rounds an axis.
function niceNumber(x: number, ceiling: boolean): number {
  const z = Math.pow(10, Math.floor(Math.log10(x)));
  const q = x / z;
  const nice = ceiling ? (q <= 1 ? 1 : q <= 2 ? 2 : q <= 5 ? 5 : 10) : q < 1.5 ? 1 : q < 3 ? 2 : q < 7 ? 5 : 10;
  return nice * z;
}

function niceAxis(min: number, max: number, ticks: number): Axis {
  const range = niceNumber(max - min, true);
  const step = niceNumber(range / (ticks - 1), false);
  const first = Math.floor(min / step);
  const last = Math.ceil(max / step);
  const at: number[] = [];
  for (let i = first; i <= last; i++) at.push(i * step);
  return { min: first * step, max: last * step, ticks: at };
}

// Ticks every `interval` from `anchor`, within the range.
function anchoredAxis(min: number, max: number, anchor: number, interval: number): Axis {
  const ticks: number[] = [];
  const slack = interval * 1e-9;
  for (let k = Math.ceil((min - anchor) / interval - 1e-9); anchor + k * interval <= max + slack; k++) {
    ticks.push(anchor + k * interval);
  }
  return { min, max, ticks };
}

// printf's %g, as the desktop's axes write their numbers: six digits, no trailing zeros.
function gText(v: number): string {
  const shown = Number(v.toPrecision(6));
  if (shown === 0) return "0";
  const exponent = Math.floor(Math.log10(Math.abs(shown)));
  const bare = (s: string): string => (s.includes(".") ? s.replace(/0+$/, "").replace(/\.$/, "") : s);
  if (exponent < -4 || exponent >= 6) {
    const [mantissa, e] = shown.toExponential(5).split("e");
    return `${bare(mantissa)}e${e[0]}${e.slice(1).padStart(2, "0")}`;
  }
  return bare(shown.toFixed(5 - exponent));
}

const escape = (s: string): string =>
  s.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/"/g, "&quot;");
const n = (v: number): string => String(Math.round(v * 100) / 100);

function text(x: number, y: number, s: string, size: number, extra = ""): string {
  return `<text x="${n(x)}" y="${n(y)}" font-size="${n(size)}"${extra}>${escape(s)}</text>`;
}

// Greedy lines of at most `width` pixels.
function wrap(s: string, width: number, size: number, measure: Measure): string[] {
  const lines: string[] = [];
  let line = "";
  for (const word of s.split(/\s+/).filter((w) => w !== "")) {
    const longer = line === "" ? word : `${line} ${word}`;
    if (line !== "" && measure(longer, size, false) > width) {
      lines.push(line);
      line = word;
    } else {
      line = longer;
    }
  }
  if (line !== "") lines.push(line);
  return lines;
}

const has = (v: number | null | undefined): v is number => v !== null && v !== undefined && Number.isFinite(v);

// Points drawn apart (each at its own x, with bars both ways) rather than joined at the
// request's x.
const scattered = (q: PlotRequest): boolean => q.series.some((s) => s.x_mean.length > 0);

interface Label {
  x: number;
  y: number;
  text: string;
  colour: string;
}

// Each label beside its point where it covers no label placed before it and no point: up to
// the right if it can, else down or to the left. The desktop's sit on their points, where the
// crowd at low load hides them.
function placeLabels(labels: Label[], dots: [number, number][], measure: Measure): string[] {
  const h = kLabelPx;
  const taken = dots.map(([x, y]) => [x - 4.5, y - 4.5, x + 4.5, y + 4.5]);
  const overlap = (a: number[], b: number[]): number =>
    Math.max(0, Math.min(a[2], b[2]) - Math.max(a[0], b[0])) * Math.max(0, Math.min(a[3], b[3]) - Math.max(a[1], b[1]));
  return labels.map((l) => {
    const w = measure(l.text, kLabelPx, true);
    let best: number[] = [];
    let least = Infinity;
    for (const [dx, dy] of [[6, -6], [6, 6 + h], [-6 - w, -6], [-6 - w, 6 + h], [-w / 2, -8], [-w / 2, 8 + h]]) {
      const box = [l.x + dx, l.y + dy - h * 0.8, l.x + dx + w, l.y + dy + h * 0.2];
      const covered = taken.reduce((sum, t) => sum + overlap(box, t), 0);
      if (covered < least) {
        least = covered;
        best = box;
      }
      if (covered === 0) break;
    }
    taken.push(best);
    return text(best[0], best[1] + h * 0.8, l.text, kLabelPx, ` fill="${l.colour}"`);
  });
}

interface Entry {
  name: string;
  marker: "square" | "dot" | "dash" | "none";
  colour: string;
}

// The plot as SVG text, `measure` sizing its texts.
export function plotSvg(q: PlotRequest, measure: Measure): string {
  const W = q.width;
  const H = q.height;
  const chartBottom = H - kCaptionHeight;
  const apart = scattered(q);
  const out: string[] = [];
  const entries: Entry[] = [];

  // The axes, as the desktop sets them.
  let ax: Axis;
  let ay: Axis;
  let spacing = 1;
  if (apart) {
    let right = 0;
    let top = 0;
    for (const s of q.series) {
      s.mean.forEach((m, i) => {
        if (!has(m) || !has(s.x_mean[i])) return;
        right = Math.max(right, s.x_mean[i] as number, has(s.x_high[i]) ? (s.x_high[i] as number) : 0);
        top = Math.max(top, m, has(s.high[i]) ? (s.high[i] as number) : 0);
      });
    }
    ax = niceAxis(0, right > 0 ? right * 1.05 : 1, 9);
    for (const c of q.curves) {
      c.x.forEach((x, i) => {
        if (x <= ax.max && i < c.y.length) top = Math.max(top, c.y[i]);
      });
    }
    ay = niceAxis(0, top > 0 ? top * 1.1 : 1, 9);
  } else {
    spacing = q.x.length >= 2 ? q.x[1] - q.x[0] : 1;
    const first = q.x.length > 0 ? q.x[0] : 0;
    const last = q.x.length > 0 ? q.x[q.x.length - 1] : 1;
    const interval = spacing * Math.ceil(q.x.length / 10);
    ax = anchoredAxis(first - spacing / 2, last + spacing / 2, first, q.x.length >= 2 ? interval : 1);
    let top = 0;
    for (const s of q.series) {
      for (const v of [...s.mean, ...s.high]) if (has(v)) top = Math.max(top, v);
    }
    ay = niceAxis(0, top > 0 ? top * 1.1 : 1, 5);
  }

  // The legend's entries in the desktop's order: for the load plot the curves, the notes, then
  // the methods.
  if (apart) {
    for (const c of q.curves) entries.push({ name: c.name, marker: "dash", colour: colour(c.colour) });
    for (const note of q.notes) entries.push({ name: note, marker: "none", colour: kInk });
    q.series.forEach((s, k) => entries.push({ name: s.name, marker: "dot", colour: colour(k) }));
  } else {
    q.series.forEach((s, k) => entries.push({ name: s.name, marker: "square", colour: colour(k) }));
    for (const note of q.notes) entries.push({ name: note, marker: "none", colour: kInk });
  }
  const legendWidth = Math.max(0, ...entries.map((e) => measure(e.name, kTextPx, false))) + 22;

  // The plot's area: the tick labels and the axis titles to its left and under it, the legend
  // under it or beside it.
  const yLabelWidth = Math.max(0, ...ay.ticks.map((t) => measure(gText(t), kTextPx, false)));
  const left = 62 + yLabelWidth;
  const top = 62;
  const right = apart ? W - 63 - legendWidth : W - 35;
  const bottom = apart ? chartBottom - 75 : chartBottom - 116;
  const X = (v: number): number => left + ((v - ax.min) / (ax.max - ax.min)) * (right - left);
  const Y = (v: number): number => bottom - ((v - ay.min) / (ay.max - ay.min)) * (bottom - top);

  out.push(`<rect width="${W}" height="${H}" fill="#fff"/>`);
  out.push(`<g fill="${kInk}" text-anchor="middle">`);
  out.push(text(W / 2, 47, q.title, kTitlePx, ' font-weight="bold"'));
  // The grid and the tick labels.
  out.push(`<g stroke="#e4e4e4" stroke-width="1">`);
  for (const t of ax.ticks) out.push(`<path d="M${n(X(t))} ${top}V${bottom}"/>`);
  for (const t of ay.ticks) out.push(`<path d="M${left} ${n(Y(t))}H${right}"/>`);
  out.push(`</g><path d="M${left} ${top}V${bottom}H${right}" fill="none" stroke="#b4b4b4"/>`);
  for (const t of ax.ticks) out.push(text(X(t), bottom + 17, gText(t), kTextPx));
  for (const t of ay.ticks) out.push(text(left - 8, Y(t) + 4.5, gText(t), kTextPx, ' text-anchor="end"'));
  out.push(text((left + right) / 2, bottom + 38, q.x_title, kAxisTitlePx));
  out.push(`<text transform="translate(45 ${n((top + bottom) / 2)}) rotate(-90)" font-size="${n(kAxisTitlePx)}">` +
           `${escape(q.y_title)}</text>`);
  out.push(`</g>`);

  // What is drawn, clipped to the plot as the desktop's series are; the point labels are not.
  const clip = `plot-area-${++plotsDrawn}`;
  out.push(`<clipPath id="${clip}"><rect x="${left}" y="${top}" width="${n(right - left)}" ` +
           `height="${n(bottom - top)}"/></clipPath>`);
  out.push(`<g class="plot" clip-path="url(#${clip})" fill="none" data-left="${left}" data-top="${top}" ` +
           `data-right="${n(right)}" data-bottom="${n(bottom)}" data-x-min="${ax.min}" data-x-max="${ax.max}" ` +
           `data-y-min="${ay.min}" data-y-max="${ay.max}">`);
  const labels: Label[] = [];
  const dotsAt: [number, number][] = [];
  const bar = (k: number, i: number, dir: "x" | "y", d: string): void => {
    out.push(`<path class="bar" data-series="${k}" data-index="${i}" data-dir="${dir}" d="${d}" ` +
             `stroke="${colour(k)}" stroke-width="1.5"/>`);
  };
  if (apart) {
    for (const c of q.curves) {
      const points: string[] = [];
      for (let i = 0; i < c.x.length && i < c.y.length; i++) {
        if (c.x[i] <= ax.max) {
          points.push(`${n(X(c.x[i]))} ${n(Y(c.y[i]))}`);
        } else if (i > 0) {
          // Cut where the axis ends, on the straight piece that crosses it.
          const f = (ax.max - c.x[i - 1]) / (c.x[i] - c.x[i - 1]);
          points.push(`${n(X(ax.max))} ${n(Y(c.y[i - 1] + f * (c.y[i] - c.y[i - 1])))}`);
          break;
        }
      }
      if (points.length > 0) {
        out.push(`<path class="curve" d="M${points.join("L")}" stroke="${colour(c.colour)}" stroke-width="2" ` +
                 `stroke-dasharray="8 4"/>`);
      }
    }
    const capX = (ax.max - ax.min) * 0.006;
    const capY = (ay.max - ay.min) * 0.009;
    q.series.forEach((s, k) => {
      const dots: string[] = [];
      s.mean.forEach((m, i) => {
        const xm = s.x_mean[i];
        if (!has(m) || !has(xm)) return;
        const lo = s.low[i];
        const hi = s.high[i];
        if (has(lo) && has(hi)) {
          bar(k, i, "y", `M${n(X(xm))} ${n(Y(lo))}V${n(Y(hi))}M${n(X(xm - capX))} ${n(Y(lo))}H${n(X(xm + capX))}` +
                         `M${n(X(xm - capX))} ${n(Y(hi))}H${n(X(xm + capX))}`);
        }
        const xl = s.x_low[i];
        const xh = s.x_high[i];
        if (has(xl) && has(xh)) {
          bar(k, i, "x", `M${n(X(xl))} ${n(Y(m))}H${n(X(xh))}M${n(X(xl))} ${n(Y(m - capY))}V${n(Y(m + capY))}` +
                         `M${n(X(xh))} ${n(Y(m - capY))}V${n(Y(m + capY))}`);
        }
        dots.push(`<circle class="point" data-series="${k}" data-index="${i}" cx="${n(X(xm))}" cy="${n(Y(m))}" r="4.5"/>`);
        dotsAt.push([X(xm), Y(m)]);
        const label = s.labels[i] ?? "";
        if (label !== "") labels.push({ x: X(xm), y: Y(m), text: label, colour: colour(k) });
      });
      out.push(`<g fill="${colour(k)}">${dots.join("")}</g>`);
    });
  } else {
    const dodge = spacing * 0.07;
    const cap = spacing * 0.025;
    q.series.forEach((s, k) => {
      const offset = (k - (q.series.length - 1) / 2) * dodge;
      const line: string[] = [];
      const dots: string[] = [];
      q.x.forEach((x0, i) => {
        const m = s.mean[i];
        const x = x0 + offset;
        if (has(m)) {
          line.push(`${n(X(x))} ${n(Y(m))}`);
          dots.push(`<circle class="point" data-series="${k}" data-index="${i}" cx="${n(X(x))}" cy="${n(Y(m))}" r="3"/>`);
        }
        const lo = s.low[i];
        const hi = s.high[i];
        if (has(lo) && has(hi)) {
          bar(k, i, "y", `M${n(X(x))} ${n(Y(lo))}V${n(Y(hi))}M${n(X(x - cap))} ${n(Y(lo))}H${n(X(x + cap))}` +
                         `M${n(X(x - cap))} ${n(Y(hi))}H${n(X(x + cap))}`);
        }
      });
      // Over a value with no point the line goes on to the next, as the desktop's does.
      if (line.length > 0) out.push(`<path d="M${line.join("L")}" stroke="${colour(k)}" stroke-width="2"/>`);
      out.push(`<g fill="${colour(k)}">${dots.join("")}</g>`);
    });
  }
  out.push(`</g>`);
  if (labels.length > 0) {
    out.push(`<g class="labels" font-weight="bold" stroke="#fff" stroke-width="3" paint-order="stroke" ` +
             `stroke-linejoin="round">${placeLabels(labels, dotsAt, measure).join("")}</g>`);
  }

  // The legend: a column beside the plot for the load plot's long entries, else a row under it.
  out.push(`<g class="legend" fill="${kInk}">`);
  const mark = (e: Entry, x: number, y: number): string => {
    switch (e.marker) {
      case "square":
        return `<rect x="${n(x)}" y="${n(y - 4.5)}" width="9" height="9" fill="${e.colour}" stroke="${kInk}" ` +
               `stroke-width="0.5"/>`;
      case "dot":
        return `<circle cx="${n(x + 8)}" cy="${n(y)}" r="4.5" fill="${e.colour}"/>`;
      case "dash":
        return `<path d="M${n(x)} ${n(y)}h16" stroke="${e.colour}" stroke-width="2" stroke-dasharray="4 2"/>`;
      case "none":
        return "";
    }
  };
  if (apart) {
    const x = right + 20;
    const y0 = (top + bottom) / 2 - ((entries.length - 1) * 23) / 2;
    entries.forEach((e, i) => {
      out.push(mark(e, x, y0 + i * 23));
      out.push(text(x + 22, y0 + i * 23 + 4.5, e.name, kTextPx));
    });
  } else {
    const widths = entries.map((e) => 14 + measure(e.name, kTextPx, false));
    let x = W / 2 - (widths.reduce((a, b) => a + b, 0) + 14 * (entries.length - 1)) / 2;
    const y = bottom + 66;
    entries.forEach((e, i) => {
      out.push(mark(e, x, y));
      out.push(text(x + 14, y + 4.5, e.name, kTextPx));
      x += widths[i] + 14;
    });
  }
  out.push(`</g>`);

  // The caption under the plot, wrapped and centred in its band as the desktop's.
  const lines = wrap(q.caption, W - 40, kTextPx, measure);
  const lineHeight = kTextPx * 1.15;
  const firstLine = chartBottom + (kCaptionHeight - 10) / 2 - ((lines.length - 1) * lineHeight) / 2 + 4.5;
  out.push(`<g class="caption" fill="#000">`);
  lines.forEach((l, i) => out.push(text(20, firstLine + i * lineHeight, l, kTextPx)));
  out.push(`</g>`);

  return `<svg xmlns="http://www.w3.org/2000/svg" width="${W}" height="${H}" viewBox="0 0 ${W} ${H}" ` +
         `font-family="${kFont}" role="img">` +
         `<title>${escape(q.title)}</title><desc>${escape(q.caption)}</desc>${out.join("")}</svg>`;
}

// The texts measured as the browser will draw them.
function canvasMeasure(): Measure {
  const context = document.createElement("canvas").getContext("2d");
  return (s, size, bold) => {
    if (context === null) return s.length * size * 0.55;
    context.font = `${bold ? "bold " : ""}${size}px ${kFont}`;
    return context.measureText(s).width;
  };
}

// The SVG painted on a canvas of the request's size, as a PNG.
async function pngOf(svg: string, width: number, height: number): Promise<Blob> {
  const image = new Image(width, height);
  const url = URL.createObjectURL(new Blob([svg], { type: "image/svg+xml" }));
  try {
    image.src = url;
    await image.decode();
    const canvas = document.createElement("canvas");
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext("2d");
    if (context === null) throw new Error("no canvas to paint the plot on");
    context.drawImage(image, 0, 0, width, height);
    return await new Promise<Blob>((done, fail) =>
      canvas.toBlob((b) => (b === null ? fail(new Error("the canvas gave no PNG")) : done(b)), "image/png"));
  } finally {
    URL.revokeObjectURL(url);
  }
}

// The section that holds the plots, made under the page's main part when the page has none.
function host(): HTMLElement {
  const found = document.getElementById("bruvik-plots");
  if (found !== null) return found;
  const section = document.createElement("section");
  section.id = "bruvik-plots";
  section.setAttribute("aria-label", "Plots of the sweep");
  (document.querySelector("main") ?? document.body).appendChild(section);
  return section;
}

// Shows the plots of `requests` (PlotRequest JSON texts) in place of any shown before; none
// hides the section.
export function showPlots(requests: string[]): void {
  const section = host();
  section.replaceChildren();
  section.hidden = requests.length === 0;
  const measure = canvasMeasure();
  requests.forEach((json) => {
    const q = JSON.parse(json) as PlotRequest;
    const svg = plotSvg(q, measure);
    const figure = document.createElement("figure");
    figure.className = "bruvik-plot";
    const drawn = new DOMParser().parseFromString(svg, "image/svg+xml").documentElement;
    drawn.setAttribute("aria-label", q.title);
    // On a narrow screen the plot keeps a legible size and scrolls sideways.
    const view = document.createElement("div");
    view.className = "plot-view";
    view.appendChild(document.importNode(drawn, true));
    figure.appendChild(view);
    const name = `bruvik-${scattered(q) ? "load" : "throughput"}-plot`;
    const buttons = document.createElement("div");
    buttons.className = "plot-downloads";
    const button = (label: string, act: () => Promise<void> | void): void => {
      const b = document.createElement("button");
      b.type = "button";
      b.textContent = label;
      b.addEventListener("click", () => void act());
      buttons.appendChild(b);
    };
    button("Download PNG", async () => download(await pngOf(svg, q.width, q.height), `${name}.png`));
    button("Download SVG", () =>
      download(new Blob(['<?xml version="1.0" encoding="UTF-8"?>\n', svg], { type: "image/svg+xml" }), `${name}.svg`));
    figure.appendChild(buttons);
    section.appendChild(figure);
  });
}
