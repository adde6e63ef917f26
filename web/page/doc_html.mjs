// "How BRUVIK counts" (docs/how-bruvik-counts.md) as HTML for the page, made when the site is
// built: its pictures where `pictureUrl(name, bytes)` puts them (files beside the site, data:
// URLs in the one file), its headings with ids for links within it, and its links to other
// files kept as their text, since neither the site nor the one file holds those files.
import { Marked } from "marked";
import { readFileSync } from "node:fs";
import { join } from "node:path";

export const kDocFile = "how-bruvik-counts.md";

const escapeAttr = (s) => s.replace(/&/g, "&amp;").replace(/"/g, "&quot;").replace(/</g, "&lt;");
const slug = (text) => text.toLowerCase().replace(/<[^>]*>|&[a-z]+;/g, "").replace(/[^a-z0-9]+/g, "-").replace(/^-|-$/g, "");

// Width and height from a PNG's header, so that the page keeps their room before they load.
function pngSize(bytes) {
  const isPng = bytes.length > 24 && bytes.readUInt32BE(0) === 0x89504e47 && bytes.toString("latin1", 12, 16) === "IHDR";
  return isPng ? { width: bytes.readUInt32BE(16), height: bytes.readUInt32BE(20) } : null;
}

export function docHtml(root, pictureUrl) {
  const docs = join(root, "docs");
  const marked = new Marked({
    gfm: true,
    renderer: {
      heading({ tokens, depth, text }) {
        return `<h${depth} id="${slug(text)}">${this.parser.parseInline(tokens)}</h${depth}>\n`;
      },
      image({ href, text }) {
        if (/^[a-z]+:|^\/|\.\./i.test(href)) throw new Error(`${kDocFile}: the picture ${href} is not one of docs/`);
        const bytes = readFileSync(join(docs, href));
        const size = pngSize(bytes);
        const dims = size ? ` width="${size.width}" height="${size.height}"` : "";
        return `<img src="${escapeAttr(pictureUrl(href, bytes))}" alt="${escapeAttr(text)}"${dims} loading="lazy">`;
      },
      link({ href, tokens }) {
        const inner = this.parser.parseInline(tokens);
        if (/^https?:|^mailto:/i.test(href)) return `<a href="${escapeAttr(href)}" target="_blank" rel="noopener">${inner}</a>`;
        // Within the page, or to one of its headings by the file's own name.
        const own = href.startsWith("#") ? href : href.startsWith(`${kDocFile}#`) ? href.slice(kDocFile.length) : null;
        return own !== null ? `<a href="${escapeAttr(own)}">${inner}</a>` : `<span class="doc-file">${inner}</span>`;
      },
    },
  });
  return marked.parse(readFileSync(join(docs, kDocFile), "utf8"));
}
