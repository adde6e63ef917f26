// The timeline pane: the module lays the primitives out, the canvas only paints them.
type Rgba = [number, number, number, number];
type Pt = [number, number];
type Item =
  | { k: "fill"; r: [number, number, number, number]; c: Rgba }
  | { k: "hatch"; r: [number, number, number, number]; c: Rgba; w: number; s: Pt[] }
  | { k: "line"; a: Pt; b: Pt; c: Rgba; w: number; dash: boolean }
  | { k: "mark"; shape: "cross" | "triangle" | "diamond"; p: Pt[]; c: Rgba; w: number }
  | { k: "text"; at: Pt; t: string; c: Rgba; px: number; bold: boolean; max: number }
  | { k: "clip"; r: [number, number, number, number]; on: boolean };

export interface TimelinePicture {
  width: number;
  height: number;
  items: Item[];
  figures: string;
}

const css = (c: Rgba): string => `rgba(${c[0]},${c[1]},${c[2]},${c[3] / 255})`;

export function paintTimeline(canvas: HTMLCanvasElement, picture: TimelinePicture): void {
  const g = canvas.getContext("2d");
  if (g === null) return;
  g.save();
  g.clearRect(0, 0, picture.width, picture.height);
  let clipped = false;
  for (const it of picture.items) {
    switch (it.k) {
      case "fill":
        g.fillStyle = css(it.c);
        g.fillRect(it.r[0], it.r[1], it.r[2], it.r[3]);
        break;
      case "hatch":
        g.strokeStyle = css(it.c);
        g.lineWidth = it.w;
        g.setLineDash([]);
        g.beginPath();
        for (let i = 0; i + 1 < it.s.length; i += 2) {
          g.moveTo(it.s[i][0], it.s[i][1]);
          g.lineTo(it.s[i + 1][0], it.s[i + 1][1]);
        }
        g.stroke();
        break;
      case "line":
        g.strokeStyle = css(it.c);
        g.lineWidth = it.w;
        g.setLineDash(it.dash ? [4 * it.w, 2 * it.w] : []);
        g.beginPath();
        g.moveTo(it.a[0], it.a[1]);
        g.lineTo(it.b[0], it.b[1]);
        g.stroke();
        break;
      case "mark": {
        g.setLineDash([]);
        g.beginPath();
        if (it.shape === "cross" && it.p.length >= 4) {
          g.moveTo(it.p[0][0], it.p[0][1]);
          g.lineTo(it.p[1][0], it.p[1][1]);
          g.moveTo(it.p[2][0], it.p[2][1]);
          g.lineTo(it.p[3][0], it.p[3][1]);
        } else {
          it.p.forEach((p, i) => (i === 0 ? g.moveTo(p[0], p[1]) : g.lineTo(p[0], p[1])));
          g.closePath();
        }
        if (it.w === 0) {
          g.fillStyle = css(it.c);
          g.fill();
        } else {
          g.strokeStyle = css(it.c);
          g.lineWidth = it.w;
          g.stroke();
        }
        break;
      }
      case "text":
        g.fillStyle = css(it.c);
        g.font = `${it.bold ? "bold " : ""}${it.px}px Arial, "Liberation Sans", sans-serif`;
        g.textBaseline = "alphabetic";
        if (it.max > 0) g.fillText(it.t, it.at[0], it.at[1], it.max);
        else g.fillText(it.t, it.at[0], it.at[1]);
        break;
      case "clip":
        if (clipped) {
          g.restore();
          clipped = false;
        }
        if (it.on) {
          g.save();
          g.beginPath();
          g.rect(it.r[0], it.r[1], it.r[2], it.r[3]);
          g.clip();
          clipped = true;
        }
        break;
    }
  }
  if (clipped) g.restore();
  g.restore();
}
