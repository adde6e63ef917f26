// A link to a moment: #e= and the experiment's JSON in unpadded base64url (UTF-8).

export function linkOf(experiment: string): string {
  const bytes = new TextEncoder().encode(experiment);
  let binary = "";
  for (let i = 0; i < bytes.length; i += 0x8000) {
    binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return "#e=" + btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

// The experiment's text of a link, or a sentence saying why there is none.
export function experimentOf(hash: string): { text?: string; refusal?: string } {
  if (!hash.startsWith("#e=")) {
    if (hash.startsWith("#z=")) return { refusal: "This link is compressed (#z=), which this page does not read yet." };
    return { refusal: "This link holds no experiment: it must begin with #e=." };
  }
  const body = hash.slice(3);
  if (!/^[A-Za-z0-9_-]*$/.test(body) || body.length % 4 === 1) {
    return { refusal: "This link is damaged: it is not base64url." };
  }
  const padded = body.replace(/-/g, "+").replace(/_/g, "/") + "===".slice((body.length + 3) % 4);
  try {
    const binary = atob(padded);
    const bytes = Uint8Array.from(binary, (ch) => ch.charCodeAt(0));
    return { text: new TextDecoder("utf-8", { fatal: true }).decode(bytes) };
  } catch {
    return { refusal: "This link is damaged: its experiment is not UTF-8 text." };
  }
}
