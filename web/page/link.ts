// A link to a moment: #e= and the experiment's JSON (UTF-8) in unpadded base64url, or #z= and
// its raw deflate when that is shorter.

function base64url(bytes: Uint8Array): string {
  let binary = "";
  for (let i = 0; i < bytes.length; i += 0x8000) {
    binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

function bytesOf(body: string): Uint8Array | null {
  if (!/^[A-Za-z0-9_-]*$/.test(body) || body.length % 4 === 1) return null;
  const padded = body.replace(/-/g, "+").replace(/_/g, "/") + "===".slice((body.length + 3) % 4);
  return Uint8Array.from(atob(padded), (ch) => ch.charCodeAt(0));
}

async function through(bytes: Uint8Array, stream: CompressionStream | DecompressionStream): Promise<Uint8Array> {
  const out = new Blob([bytes as Uint8Array<ArrayBuffer>]).stream().pipeThrough(stream);
  return new Uint8Array(await new Response(out).arrayBuffer());
}

export async function linkOf(experiment: string): Promise<string> {
  const bytes = new TextEncoder().encode(experiment);
  const plain = "#e=" + base64url(bytes);
  if (typeof CompressionStream === "undefined") return plain;
  const packed = "#z=" + base64url(await through(bytes, new CompressionStream("deflate-raw")));
  return packed.length < plain.length ? packed : plain;
}

// The longest link the page makes or opens (after the #): longer ones are cut by some browsers
// and mail programs, and a run that long is a file's.
export const kLinkLimit = 64 * 1024;

// The experiment's text of a link, or a sentence saying why there is none.
export async function experimentOf(hash: string): Promise<{ text?: string; refusal?: string }> {
  if (hash.length - 1 > kLinkLimit) return { refusal: "This link is longer than 64 KiB, which no link to a moment is." };
  const kind = hash.slice(0, 3);
  if (kind !== "#e=" && kind !== "#z=") return { refusal: "This link holds no experiment: it must begin with #e= or #z=." };
  let bytes = bytesOf(hash.slice(3));
  if (bytes === null) return { refusal: "This link is damaged: it is not base64url." };
  if (kind === "#z=") {
    if (typeof DecompressionStream === "undefined") return { refusal: "This browser cannot read compressed (#z=) links." };
    try {
      bytes = await through(bytes, new DecompressionStream("deflate-raw"));
    } catch {
      return { refusal: "This link is damaged: its experiment does not inflate." };
    }
  }
  try {
    return { text: new TextDecoder("utf-8", { fatal: true }).decode(bytes) };
  } catch {
    return { refusal: "This link is damaged: its experiment is not UTF-8 text." };
  }
}
