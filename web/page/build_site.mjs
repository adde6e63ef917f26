// Bundles the page (esbuild), lays out the site (its module beside its own .wasm), and writes
// bruvik.html: the same page in one file, the scripts, styles, lessons and the module with its
// wasm inside, for file:// where nothing else can be loaded.
//   node build_site.mjs SOURCE_ROOT BUILD_DIR VERSION
import { build } from "esbuild";
import { copyFileSync, mkdirSync, readdirSync, readFileSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { docHtml } from "./doc_html.mjs";

const [root, out, version] = process.argv.slice(2);
const page = join(root, "web", "page");
const site = join(out, "site");
mkdirSync(join(site, "experiments"), { recursive: true });
mkdirSync(join(site, "docs"), { recursive: true });

const bundle = await build({
  entryPoints: [join(page, "main.ts")],
  bundle: true,
  format: "iife",
  target: "es2020",
  minify: true,
  write: false,
  define: { BRUVIK_VERSION: JSON.stringify(version) },
  logLevel: "warning",
});
const script = bundle.outputFiles[0].text;
const module = readFileSync(join(out, "bruvik-page.js"), "utf8");
const css = readFileSync(join(page, "page.css"), "utf8");
const html = readFileSync(join(page, "index.html"), "utf8");

const lessons = readdirSync(join(root, "experiments"))
  .filter((f) => f.endsWith(".bruvik"))
  .sort()
  .map((file) => ({ file, text: readFileSync(join(root, "experiments", file), "utf8") }));
for (const l of lessons) copyFileSync(join(root, "experiments", l.file), join(site, "experiments", l.file));
// Inside a <script>, "</" would end it early.
const lessonTag = `<script type="application/json" id="bruvik-lessons">${JSON.stringify(lessons).replace(/<\//g, "<\\/")}</script>`;
const inline = (text) => text.replace(/<\/script/gi, "<\\/script");

// "How BRUVIK counts": its pictures beside the site's page, inside the one file.
const siteDoc = docHtml(root, (name, bytes) => {
  writeFileSync(join(site, "docs", name), bytes);
  return `docs/${name}`;
});
const mime = (name) => ({ jpg: "image/jpeg", svg: "image/svg+xml" })[name.split(".").pop()] ?? `image/${name.split(".").pop()}`;
const oneFileDoc = docHtml(root, (name, bytes) => `data:${mime(name)};base64,${bytes.toString("base64")}`);
const withLessons = html.replace("<!--LESSONS-->", () => lessonTag);
writeFileSync(join(site, "index.html"), withLessons.replace("<!--DOC-->", () => siteDoc));
writeFileSync(join(site, "main.js"), script);
writeFileSync(join(site, "page.css"), css);
// The site's module loads its .wasm beside it, for the cache and compiling while downloading.
for (const f of ["bruvik-page.js", "bruvik-page.wasm"]) copyFileSync(join(out, "site-module", f), join(site, f));

const single = withLessons
  .replace("<!--DOC-->", () => oneFileDoc)
  .replace('<link rel="stylesheet" href="page.css">', () => `<style>\n${css}</style>`)
  .replace(/<link rel="preload" href="bruvik-page.wasm"[^>]*>\n/, "")
  .replace('<script src="bruvik-page.js"></script>', () => `<script id="bruvik-module">${inline(module)}</script>`)
  .replace('<script src="main.js"></script>', () => `<script>${inline(script)}</script>`);
if (/src="(?!data:)/.test(single) || single.includes('href="page.css"') || single.includes(".wasm")) throw new Error("bruvik.html still loads a file");
writeFileSync(join(out, "bruvik.html"), single);
