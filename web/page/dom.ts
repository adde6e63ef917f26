// The page's own elements, found by id, and a file handed to the browser's downloads.

export const byId = <T extends HTMLElement>(id: string): T => {
  const el = document.getElementById(id);
  if (el === null) throw new Error(`the page has no #${id}`);
  return el as T;
};

export function download(blob: Blob, name: string): void {
  const a = document.createElement("a");
  a.href = URL.createObjectURL(blob);
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  // Some browsers start reading the file only after the click has returned.
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}
