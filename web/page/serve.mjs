// A static server for build/web/site on 127.0.0.1: the port asked for, or any free one when it
// is taken. Prints the address on its first line.
//   node serve.mjs FOLDER [PORT]
import { createReadStream, statSync } from "node:fs";
import { createServer } from "node:http";
import { extname, join, normalize, resolve } from "node:path";
import { pathToFileURL } from "node:url";

const types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".css": "text/css; charset=utf-8",
  ".wasm": "application/wasm",
  ".bruvik": "application/json; charset=utf-8",
  ".json": "application/json; charset=utf-8",
};

export function serve(folder, port = 0) {
  const root = resolve(folder);
  const server = createServer((req, res) => {
    const path = decodeURIComponent(new URL(req.url ?? "/", "http://x").pathname);
    let file = normalize(join(root, path));
    if (!file.startsWith(root)) {
      res.writeHead(403).end();
      return;
    }
    try {
      if (statSync(file).isDirectory()) file = join(file, "index.html");
      statSync(file);
    } catch {
      res.writeHead(404, { "content-type": "text/plain" }).end("not found");
      return;
    }
    res.writeHead(200, { "content-type": types[extname(file)] ?? "application/octet-stream" });
    createReadStream(file).pipe(res);
  });
  return new Promise((done, fail) => {
    server.once("error", (e) => {
      if (e.code === "EADDRINUSE" && port !== 0) {
        server.listen(0, "127.0.0.1");
      } else {
        fail(e);
      }
    });
    server.once("listening", () => done({ server, url: `http://127.0.0.1:${server.address().port}/` }));
    server.listen(port, "127.0.0.1");
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const { url } = await serve(process.argv[2], Number(process.argv[3] ?? 8080));
  console.log(url);
}
